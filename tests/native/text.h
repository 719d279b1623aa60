// Results of a table written out as one line of text, compared with the line the
// behaviour gives: a failure shows every row at once.
#ifndef STRAVO_TEST_TEXT_H
#define STRAVO_TEST_TEXT_H

#include <stdarg.h>
#include <stdio.h>

#include <string>

inline std::string Text(const char *format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

#endif
