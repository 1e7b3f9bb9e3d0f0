#include "console/console_print.h"

#include <atomic>
#include <cstdarg>
#include <cstddef>

#include "platform/platform.h"

namespace {

std::atomic<std::uint32_t> writeCount{0};

void Emit(const char* text, std::size_t length) {
    ++writeCount;
    WriteOutput(text, length);
    ++writeCount;
}

struct Line {
    char text[kLongestText];
    std::size_t length;
};

void Put(Line& line, char c) {
    if (line.length == sizeof line.text) {
        Emit(line.text, line.length);
        line.length = 0;
    }
    line.text[line.length++] = c;
}

void PutText(Line& line, const char* text) {
    for (; *text != '\0'; ++text) {
        Put(line, *text);
    }
}

void PutDecimal(Line& line, unsigned long magnitude, bool negative) {
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) {
        Put(line, '-');
    }
    while (count > 0) {
        Put(line, digits[--count]);
    }
}

void PutSigned(Line& line, int value) {
    const bool negative = value < 0;
    // Negating in unsigned arithmetic keeps the lowest int defined.
    const unsigned magnitude =
        negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    PutDecimal(line, magnitude, negative);
}

}  // namespace

// NOLINTNEXTLINE(cert-dcl50-cpp): printf-style on purpose, so compilers check each call's arguments
void ConsolePrint(const char* format, ...) {
    Line line;
    line.length = 0;
    va_list arguments;
    va_start(arguments, format);
    // NOLINTBEGIN(clang-analyzer-valist.Uninitialized): false alarm, va_start is just above
    for (const char* at = format; *at != '\0'; ++at) {
        if (*at != '%' || at[1] == '\0') {
            Put(line, *at);
            continue;
        }
        switch (*++at) {
            case 's':
                PutText(line, va_arg(arguments, const char*));
                break;
            case 'd':
                PutSigned(line, va_arg(arguments, int));
                break;
            case 'u':
                PutDecimal(line, va_arg(arguments, unsigned), false);
                break;
            default:
                Put(line, *at);
                break;
        }
    }
    // NOLINTEND(clang-analyzer-valist.Uninitialized)
    va_end(arguments);
    Emit(line.text, line.length);
}

void ConsoleFlush() {
    ++writeCount;
    FlushOutput();
    ++writeCount;
}

std::uint32_t OutputWriteCount() {
    return writeCount;
}
