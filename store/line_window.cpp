// The reading window shared by every reader of the program's files.
#include <algorithm>
#include <cstring>
#include <vector>

#include "store/formats.h"

void read_window_lines(std::size_t window, const ByteSource& source, const LineSink& sink)
{
    std::vector<char> buffer(window);
    auto read_more = [&](std::size_t held) {
        std::size_t room = window - held;
        // A full window without a LF asks for nothing and so gets nothing.
        return room == 0 ? 0 : std::min(source(buffer.data() + held, room), room);
    };
    std::size_t last = read_more(0);
    std::size_t held = last;
    for (;;) {
        const char* lf = static_cast<const char*>(std::memchr(buffer.data(), '\n', held));
        if (lf) {
            std::size_t end = static_cast<std::size_t>(lf - buffer.data());
            if (!sink(buffer.data(), end == 0 ? 0 : end - 1))
                return;
            held -= end + 1;
            std::memmove(buffer.data(), lf + 1, held);
            continue;
        }
        if (last == 0)
            return;
        last = read_more(held);
        held += last;
    }
}

ByteSource memory_source(const char* data, std::size_t size, std::size_t chunk)
{
    std::size_t pos = 0;
    return [=](char* dst, std::size_t want) mutable {
        std::size_t n = std::min(want, size - pos);
        if (chunk != 0)
            n = std::min(n, chunk);
        if (n != 0)
            std::memcpy(dst, data + pos, n);
        pos += n;
        return n;
    };
}
