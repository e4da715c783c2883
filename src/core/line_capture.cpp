#include "core/line_capture.h"

#include <cstdint>

#include "core/console.h"
#include "core/log.h"

namespace {

LineRecorder* activeRecorder = nullptr;

constexpr std::size_t lengthBytes = 4;

} // namespace

void appendLittleEndian(std::string& bytes, std::uint64_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xffu));
}

std::uint64_t readLittleEndian(std::string_view bytes, std::size_t at, std::size_t width)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width && at + i < bytes.size(); ++i)
        value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

void LineRecorder::record(LineChannel channel, std::string_view text)
{
    recorded.push_back(static_cast<char>(channel));
    appendLittleEndian(recorded, static_cast<std::uint32_t>(text.size()), lengthBytes);
    recorded.append(text);
}

std::string LineRecorder::take()
{
    std::string lines;
    lines.swap(recorded);
    return lines;
}

namespace line_capture {

LineRecorder* active() { return activeRecorder; }

void start(LineRecorder& recorder) { activeRecorder = &recorder; }

void stop() { activeRecorder = nullptr; }

void replay(std::string_view bytes)
{
    // Console lines go out together, up to the next log line: a log.log that
    // cannot be opened prints its warning on the console at its own place.
    std::string consoleLines;
    auto writeConsoleLines = [&consoleLines] {
        if (!consoleLines.empty()) Console::sayLines(consoleLines);
        consoleLines.clear();
    };
    std::size_t at = 0;
    while (at + 1 + lengthBytes <= bytes.size()) {
        const auto channel = static_cast<LineChannel>(bytes[at]);
        const std::uint64_t length = readLittleEndian(bytes, at + 1, lengthBytes);
        at += 1 + lengthBytes;
        // A truncated record cannot come from LineRecorder; its text is cut
        // at the end of the bytes rather than read past them.
        const std::string_view text = bytes.substr(at, length);
        at += text.size();
        if (channel == LineChannel::log) {
            writeConsoleLines();
            Log::logMessage(std::string(text));
        } else if (active() != nullptr) {
            Console::sayAlways(std::string(text));
        } else {
            consoleLines += text;
            consoleLines += '\n';
        }
    }
    writeConsoleLines();
}

} // namespace line_capture
