// Arbitrary answers into every codec's response parsing and the collect record parser. The first byte
// picks the codec and its mode; the rest is a series of answers, each preceded by its length byte.
// Checks: nothing is read or written beyond a buffer (the sanitizers), and every request a codec leaves
// for sending fits one frame.
#include "codecs/collect_codec.h"
#include "codecs/config_codec.h"
#include "codecs/symbology_codec.h"
#include "codecs/text_codec.h"
#include "codecs/value_codecs.h"

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using namespace zt::sdk;

void progressSink(int, int) {}

std::unique_ptr<CommandCodec> makeCodec(std::uint8_t selector) {
    const Mode mode = (selector & 0x80) != 0 ? Mode::Set : Mode::Get;
    switch (selector % 9) {
        case 0: {
            auto c = std::make_unique<ScanModeCodec>();
            c->mode = mode;
            c->scanMode = selector % 3;
            c->value = 9999;
            return c;
        }
        case 1: {
            auto c = std::make_unique<BuzzerCodec>();
            c->mode = mode;
            return c;
        }
        case 2: return std::make_unique<BatteryCodec>();
        case 3: return std::make_unique<StorageCodec>();
        case 4: {
            auto c = std::make_unique<TimeCodec>();
            c->mode = mode;
            return c;
        }
        case 5: {
            auto c = std::make_unique<AffixCodec>();
            c->mode = mode;
            c->text = "\t>";
            return c;
        }
        case 6: {
            auto c = std::make_unique<SymbologyCodec>();
            c->mode = mode;
            c->group = 27;
            c->item = 24;
            return c;
        }
        case 7: {
            auto c = std::make_unique<ConfigCodec>();
            const auto item = static_cast<ConfigItem>((selector >> 3) % 16);
            if (mode == Mode::Set)
                c->loadSet(item, std::vector<std::uint8_t>(4, 1));
            else
                c->loadGet(item);
            return c;
        }
        default: {
            auto c = std::make_unique<CollectCodec>();
            c->reset(progressSink);
            return c;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    auto codec = makeCodec(data[0]);
    RequestBuffer request{};
    std::uint16_t length = 0;
    (void)codec->build(request, length);
    std::span<const std::uint8_t> rest(data + 1, size - 1);
    while (!rest.empty()) {
        const std::size_t n = std::min<std::size_t>(rest[0], rest.size() - 1);
        // Copied into a buffer of its own size, so that reading past the answer is caught.
        const std::vector<std::uint8_t> answer(rest.begin() + 1, rest.begin() + 1 + static_cast<std::ptrdiff_t>(n));
        (void)codec->onResponse(0, answer, request, length);
        if (length > zt::wire::kMaxWritePayload) std::abort();
        CollectedRecord record;
        (void)parseCollectedRecord(answer, record);
        const std::string text(answer.begin(), answer.end());
        (void)escapeAffix(unescapeAffix(text));
        rest = rest.subspan(1 + n);
    }
    if (auto* collect = dynamic_cast<CollectCodec*>(codec.get())) collect->sortNewestFirst();
    return 0;
}
