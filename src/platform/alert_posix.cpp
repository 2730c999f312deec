#include <cstdio>

#include "platform/alert.hpp"

void ALERTStartFailure(const char* line) { fprintf(stderr, "%s\n", line); }

void ALERTAnswer(const char* text) { fputs(text, stdout); }
