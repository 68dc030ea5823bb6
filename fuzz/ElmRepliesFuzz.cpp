// Any text from the port an adapter sits on, read as its replies: lines, the
// adapter's own words, CAN frames put together into messages, K-line frames
// checked. No crash, no hang, no leak, whatever it holds; a bad frame is a
// numbered error, never anything else.
#include "ElmReplies.h"
#include "Sorvik3.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace TavrinKwp;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto lines = replyLines(text, "300301");
    for (bool extended : {false, true}) {
        std::vector<ElmCanFrame> frames;
        for (const auto& line : lines) {
            adapterProblem(line);
            if (auto frame = canFrameLine(line, extended)) frames.push_back(*frame);
        }
        // The identifier of the first frame, so that frames of one ECU are put together.
        const uint32_t id = frames.empty() ? 0x7E8 : frames.front().id;
        try {
            canMessages(frames, id);
        } catch (const Sorvik3::Error&) {
            // a broken message is refused in words
        }
    }
    try {
        klineMessages(lines, 0x11, 0xF1);
    } catch (const Sorvik3::Error&) {
        // a frame with a wrong checksum is refused in words
    }
    return 0;
}
