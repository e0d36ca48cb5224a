// Work spread over child processes: each job runs in a process of its own
// (the clock and the random generator are process-wide, so threads could not
// keep runs apart) and hands back numbers through a pipe.
#ifndef PARLEVO_APP_CLI_PROCESS_JOBS_H_
#define PARLEVO_APP_CLI_PROCESS_JOBS_H_

#include <cstdint>
#include <functional>
#include <vector>

namespace parlevo::cli {

// Runs work(0) .. work(jobs - 1), each in a child process (jobs 1: in this
// one), and returns their results in job order. A job that throws or a child
// that ends otherwise than by handing back its result throws
// std::runtime_error, once every child has ended.
std::vector<std::vector<int64_t>> RunJobs(int jobs,
                                          const std::function<std::vector<int64_t>(int job)>& work);

// The jobs to run by default: one per core.
int DefaultJobs();

}  // namespace parlevo::cli

#endif  // PARLEVO_APP_CLI_PROCESS_JOBS_H_
