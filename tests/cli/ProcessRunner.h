#pragma once
// Runs a program as a child process with extra environment variables, its output and errors in
// files. POSIX only.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace uhf::cli::testing {

using Environment = std::vector<std::pair<std::string, std::string>>;

struct ProcessResult {
  int exitStatus = -1;
  std::string out;
  std::string err;
};

// Starts the program; its output goes to `outFile` and `errFile`.
inline pid_t StartProcess(const std::vector<std::string>& args, const Environment& env,
                          const std::filesystem::path& outFile,
                          const std::filesystem::path& errFile,
                          const std::filesystem::path& cwd = {}) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
  if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
  const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0 || err < 0) _exit(126);
  dup2(out, STDOUT_FILENO);
  dup2(err, STDERR_FILENO);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

inline int WaitProcess(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline ProcessResult RunProcess(const std::vector<std::string>& args, const Environment& env,
                                const std::filesystem::path& folder,
                                const std::filesystem::path& cwd = {}) {
  const std::filesystem::path out = folder / "stdout.txt";
  const std::filesystem::path err = folder / "stderr.txt";
  ProcessResult result;
  result.exitStatus = WaitProcess(StartProcess(args, env, out, err, cwd));
  result.out = FileText(out);
  result.err = FileText(err);
  return result;
}

}  // namespace uhf::cli::testing
