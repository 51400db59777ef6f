# Writes a man page from a program's --help-all text (the first file) and a file of further
# sections (the second: "[NAME]" lines start a section, the rest is roff, copied as it is).
#   awk -v program=NAME -v version=V -f help-to-man.awk HELP SECTIONS
# The help text: a description, "Usage: ...", then blocks headed by a line ending in ":" at the
# margin. In "Options:" each entry is "  name  text" (or the text on the next, deeper line); in
# "Subcommands:" each command's name stands at the margin, its text and its own blocks indented
# below it; in any other block each entry is "  name  text".

function roff(text) {
  gsub(/\\/, "\\e", text)
  gsub(/-/, "\\-", text)
  sub(/^[.']/, "\\\\&&", text)
  return text
}
function indent(line) {
  match(line, /^ */)
  return RLENGTH
}
function trim(text) {
  sub(/^ +/, "", text)
  sub(/ +$/, "", text)
  return text
}
# An entry "name  text": the name in bold, the text below it, or the text of the next line.
function entry(line, margin,    body, at) {
  body = substr(line, margin + 1)
  at = match(body, /  +/)
  if (at > 0) {
    print ".TP\n.B " roff(substr(body, 1, at - 1))
    print roff(trim(substr(body, at)))
  } else {
    print ".TP\n.B " roff(trim(body))
  }
}

FNR == 1 && NR == 1 {
  printf ".TH %s 1 \"\" \"%s %s\" \"User Commands\"\n", toupper(program), program, version
  section = "DESCRIPTION"; description = ""; synopsis = ""
}

# The sections file: its NAME first, the help's sections, then the rest in order.
FILENAME == ARGV[2] {
  if (FNR == 1) close_command()
  if ($0 ~ /^\[[A-Z ]+\]$/) {
    extra_name = substr($0, 2, length($0) - 2)
    if (extra_name == "NAME") next
    print ".SH \"" extra_name "\""
    next
  }
  if (extra_name != "NAME") print
  next
}

/^Usage: / { synopsis = substr($0, 8); next }
section == "DESCRIPTION" && !/^[A-Za-z][A-Za-z ]*:$/ {
  if ($0 != "") description = description roff($0) "\n"
  next
}

/^[A-Za-z][A-Za-z ]*:$/ {
  close_command()
  if (section == "DESCRIPTION") print_head()
  heading = substr($0, 1, length($0) - 1)
  section = heading == "Subcommands" ? "COMMANDS" : toupper(heading)
  print ".SH \"" section "\""
  next
}
/^ *$/ { next }

section == "COMMANDS" {
  if (indent($0) == 0) {
    close_command()
    print ".TP\n.B " roff($0)
    next
  }
  if (indent($0) == 2 && $0 ~ /:$/) {
    if (!in_block) print ".RS"
    in_block = 1
    print ".PP\n" roff(trim($0))
    next
  }
  if (indent($0) == 2) { print roff(trim($0)); next }
  if (indent($0) == 4) { entry($0, 4); next }
  print roff(trim($0))   # an entry's text on its own, deeper line
  next
}

{
  if (indent($0) == 2) entry($0, 2)
  else print roff(trim($0))
}

function close_command() {
  if (in_block) print ".RE"
  in_block = 0
}
function print_head() {
  print ".SH NAME"
  print name_line
  sub("^" program " *", "", synopsis)
  print ".SH SYNOPSIS\n.B " program "\n" roff(synopsis)
  print ".SH DESCRIPTION\n" description
}

BEGIN {
  # The NAME line comes from the sections file, read ahead of the help.
  while ((getline line < ARGV[2]) > 0) {
    if (line == "[NAME]") { in_name = 1; continue }
    if (in_name && line ~ /^\[/) break
    if (in_name && line != "") name_line = name_line line "\n"
  }
  close(ARGV[2])
  sub(/\n$/, "", name_line)
}

END { close_command() }
