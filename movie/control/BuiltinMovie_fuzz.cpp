// The built-in control on any movie: loaded through the host's path, played a few frames with the
// pointer moving and pressing, and drawn small. Besides not crashing: the display lists stay
// within their limit and the picture keeps its size.
#include <cstddef>
#include <cstdint>

#include "BuiltinMovie.h"
#include "EmbedMovie.h"
#include "FuzzCheck.h"
#include "QuietMovieHost.h"

namespace {

class Events : public MovieControlEvents {
  public:
    void OnFSCommand(const std::u16string&, const std::u16string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QuietMovieHost host;
    Events events;
    BuiltinMovie control(host);
    control.SetEvents(&events);
    MemoryStream s(std::vector<std::uint8_t>(data, data + size));
    try {
        EmbedMovieStream(control, &s);
    } catch (const std::exception&) {
        return 0;
    }
    if (!control.HasMovie()) return 0;
    for (int i = 0; i < 4; ++i) {
        const PixelImage& p = control.Render(32, 24);
        FUZZ_CHECK(p.pixels.size() == 32u * 24u);
        control.PointerMove(i * 7, i * 5);
        if (i == 1) control.PointerDown(7, 5);
        if (i == 2) control.PointerUp(14, 10);
        control.Tick();
        FUZZ_CHECK(control.Timelines().DisplayObjects() <= kMaxDisplayObjects);
    }
    return 0;
}
