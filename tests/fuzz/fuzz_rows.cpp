// libFuzzer target for the settings row and the channel rows of an arbitrary
// image: showing and storing never fail or touch bytes outside their areas,
// and after one store, storing again changes no byte and no text.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

#include "channels/ChannelRecord.h"
#include "channels/ChannelRows.h"
#include "settings/SettingsRow.h"

namespace {
constexpr int kSettingsFirst = 0xE90, kSettingsLast = 0xE9F;
constexpr int kSettingsCopyFirst = 0xEB5, kSettingsCopyLast = 0xEBB;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rm427;
    Module1 state;
    std::copy_n(data, std::min(size, state.Image.size()), state.Image.begin());
    if (size > state.Image.size()) state.Language = data[state.Image.size()] & 1;
    const CodeplugImage original = state.Image;

    // Settings: only the settings row and its copy may change.
    CodeplugImage settings = original;
    const SettingsSelections shown = ShowSettings(settings);
    StoreSettings(settings, shown);
    for (int i = 0; i < kImageSize; ++i) {
        const bool own = (i >= kSettingsFirst && i <= kSettingsLast) ||
                         (i >= kSettingsCopyFirst && i <= kSettingsCopyLast);
        if (!own && settings[i] != original[i]) std::abort();
    }
    const SettingsSelections again = ShowSettings(settings);
    if (again.list != shown.list || again.voxInhibit != shown.voxInhibit ||
        again.powerOnDisplay != shown.powerOnDisplay || again.message != shown.message)
        std::abort();

    // Channels: only the channel table may change; one round settles it.
    ChannelRows rows = MakeChannelRows(state);
    LoadChannelRows(state, rows);
    SaveChannelRows(state, rows);
    std::array<bool, kImageSize> record{};
    for (int n = 1; n <= kMaxChannels; ++n)
        for (int k = 0; k < kChannelRecordSize; ++k) record[ChannelOffset(n) + k] = true;
    for (int i = 0; i < kImageSize; ++i)
        if (!record[i] && state.Image[i] != original[i]) std::abort();
    // Bytes the program never writes may show a text that cannot be stored
    // as shown (a frequency digit above 9 shows as "2493.01500" and is
    // stored as 249 MHz); from the first store on, nothing moves any more.
    ChannelRows second = MakeChannelRows(state);
    LoadChannelRows(state, second);
    const CodeplugImage stored = state.Image;
    SaveChannelRows(state, second);
    if (state.Image != stored) std::abort();
    ChannelRows third = MakeChannelRows(state);
    LoadChannelRows(state, third);
    if (third != second) std::abort();
    return 0;
}
