#ifndef NAMEWISP_TESTS_PROGRAM_ARGV_H_
#define NAMEWISP_TESTS_PROGRAM_ARGV_H_

// The argument list the platform tests start the program with.
inline char test_program_name[] = "namewisp";
inline char* test_argv[] = {test_program_name, nullptr};

#endif  // NAMEWISP_TESTS_PROGRAM_ARGV_H_
