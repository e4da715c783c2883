#include <gtest/gtest.h>

#include "core/line_capture.h"
#include "parallel/ordered_lines.h"

namespace {

std::string block(const std::string& text)
{
    LineRecorder recorder;
    recorder.record(LineChannel::console, text);
    recorder.record(LineChannel::log, text + " logged");
    return recorder.take();
}

// What the writer writes, recorded instead of written.
class WrittenLines {
public:
    WrittenLines() { line_capture::start(recorder); }
    ~WrittenLines() { line_capture::stop(); }
    std::string take() { return recorder.take(); }

private:
    LineRecorder recorder;
};

} // namespace

TEST(OrderedLines, BlocksAreWrittenInTheirOrderWhateverTheOrderOfArrival)
{
    WrittenLines written;
    OrderedLines lines(4);
    lines.add(2, block("two"), false);
    lines.add(1, block("one"), false);
    lines.writeReady();
    EXPECT_EQ(written.take(), "");
    EXPECT_EQ(lines.nextPlace(), 0u);

    lines.add(0, block(""), false);
    lines.writeReady();
    EXPECT_EQ(written.take(), block("") + block("one") + block("two"));
    EXPECT_FALSE(lines.complete());

    lines.add(3, block("three"), false);
    lines.writeReady();
    EXPECT_EQ(written.take(), block("three"));
    EXPECT_TRUE(lines.complete());
    EXPECT_FALSE(lines.endedByFatalError());
}

// A block that ended the run is written after every block before it, and
// nothing after it, not even blocks that had arrived earlier.
TEST(OrderedLines, NothingFollowsTheBlockThatEndedTheRun)
{
    WrittenLines written;
    OrderedLines lines(5);
    lines.add(3, block("after"), false);
    lines.add(2, block("fatal"), true);
    lines.add(0, block("zero"), false);
    lines.writeReady();
    EXPECT_EQ(written.take(), block("zero"));
    EXPECT_FALSE(lines.endedByFatalError());

    lines.add(1, block("one"), false);
    lines.add(4, block("late"), true);
    lines.writeReady();
    EXPECT_EQ(written.take(), block("one") + block("fatal"));
    EXPECT_TRUE(lines.endedByFatalError());

    lines.add(3, block("again"), false);
    lines.writeReady();
    EXPECT_EQ(written.take(), "");
}
