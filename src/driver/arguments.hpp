// The programs' command line. --help (or -h) and --version are answered on
// standard output before anything else starts, the window system included;
// every other argument is ignored, as it always was.
#pragma once

// True when an argument was answered: the program then ends with status 0.
bool TORVELINAnswerArguments(int argc, char** argv);
