// RunActions on any bytes, for every SWF version the control plays. Besides not crashing: a block
// never runs past the cap on actions, a target it sets ends with it, and the host sees no goto to
// a frame that could not be a frame number.
#include <cstddef>
#include <cstdint>

#include "Actions.h"
#include "FuzzCheck.h"

namespace {

class Host : public ActionHost {
  public:
    std::u16string target;
    std::size_t calls = 0;

    void SetTarget(const std::u16string& path) override { target = path; }
    void Stop() override { ++calls; }
    void Play() override { ++calls; }
    void NextFrame() override { ++calls; }
    void PrevFrame() override { ++calls; }
    void GotoFrame(int frame, bool) override {
        FUZZ_CHECK(frame >= -1000000001 && frame <= 1000065535);
        ++calls;
    }
    void GotoLabel(const std::u16string&, bool) override { ++calls; }
    void GetUrl(const std::u16string&, const std::u16string&) override { ++calls; }
    ActionValue GetVariable(const std::u16string& path) override {
        ++calls;
        if (path == u"_root" || path == u"this") return ActionValue::ClipAt(u"_root");
        return value;
    }
    void SetVariable(const std::u16string&, const ActionValue& v) override {
        ++calls;
        // Keeping what was set feeds strings back into later reads, as a timeline does.
        value = v;
    }
    ActionValue GetProperty(const std::u16string&, int) override { return ActionValue::Of(1.5); }
    void SetProperty(const std::u16string&, int, const ActionValue&) override { ++calls; }
    bool CallClipMethod(const std::u16string&, const std::u16string& method,
                        const std::vector<ActionValue>&) override {
        return method == u"play";
    }

  private:
    ActionValue value;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int version = 4 + data[0] % 7;
    Host host;
    const ActionRun run = RunActions(data + 1, size - 1, version, host);
    FUZZ_CHECK(run.executed <= kMaxActionsPerBlock);
    FUZZ_CHECK(host.target.empty());
    FUZZ_CHECK(host.calls <= 2 * kMaxActionsPerBlock);
    return 0;
}
