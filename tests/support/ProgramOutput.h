#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace s::test {

// The standard output of a program run with an argument vector (found on PATH), read until
// it ends; its errors go to ours unless dropped.
inline std::string programOutput(const std::vector<std::string>& argv, bool dropErrors = false) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) {
    return {};
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  if (dropErrors) {
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv) {
    args.push_back(const_cast<char*>(arg.c_str()));
  }
  args.push_back(nullptr);
  pid_t pid = 0;
  int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  std::string text;
  char chunk[4096];
  ssize_t got = 0;
  while ((got = read(pipeFds[0], chunk, sizeof(chunk))) > 0) {
    text.append(chunk, static_cast<size_t>(got));
  }
  close(pipeFds[0]);
  if (spawned == 0) {
    waitpid(pid, nullptr, 0);
  }
  return text;
}

}  // namespace s::test
