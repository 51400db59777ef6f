# The export names of the driver library, read from its C header so that the checks below
# follow the header rather than a copied list.
function(tagvane_export_names header out_var)
  file(READ "${header}" text)
  string(REGEX MATCHALL "TAGVANE_CALL [A-Za-z_]+\\(" declarations "${text}")
  set(names "")
  foreach(declaration ${declarations})
    string(REGEX REPLACE "TAGVANE_CALL ([A-Za-z_]+)\\(" "\\1" name "${declaration}")
    list(APPEND names ${name})
  endforeach()
  set(${out_var} ${names} PARENT_SCOPE)
endfunction()
