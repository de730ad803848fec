#pragma once
// A movie control that records what its host asks of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "MovieControl.h"

class FakeControl : public MovieControl {
  public:
    static std::vector<std::uint8_t> SavedByDefault() {
        return {0x67, 0x55, 0x66, 0x55, 0xA1, 0xA2, 0xA3};
    }

    std::vector<std::string> calls;
    std::vector<std::uint8_t> state = SavedByDefault();  // what it saves
    std::uint32_t sizeMax = 12;
    std::vector<std::uint8_t> loaded;
    std::function<void()> onLoad;
    bool failLoad = false;

    void Play() override { calls.push_back("Play"); }
    void Stop() override { calls.push_back("Stop"); }
    void LoadMovie(int, const std::u16string&) override { calls.push_back("LoadMovie"); }
    bool failSetVariable = false;
    void SetVariable(const std::u16string& name, const std::u16string& value) override {
        calls.push_back("SetVariable " + std::string(name.begin(), name.end()) + "=" +
                        std::string(value.begin(), value.end()));
        if (failSetVariable) throw MovieControlError("refused");
    }
    FlashValue GetProperty(int id) override { return DefaultFlashValue(id); }
    void SetProperty(int id, const FlashValue& v) override {
        const bool* b = std::get_if<bool>(&v);
        calls.push_back("Set " + std::to_string(id) + (b ? (*b ? " true" : " false") : ""));
    }
    std::uint32_t SaveStateSizeMax() override {
        calls.push_back("SizeMax");
        return sizeMax;
    }
    void SaveState(std::vector<std::uint8_t>& buffer) override {
        calls.push_back("Save");
        EXPECT_EQ(buffer.size(), sizeMax);
        std::copy(state.begin(), state.begin() + std::min(state.size(), buffer.size()),
                  buffer.begin());
    }
    void LoadState(const std::vector<std::uint8_t>& image) override {
        calls.push_back("Load");
        if (onLoad) onLoad();
        if (failLoad) throw MovieControlError("refused");
        loaded = image;
    }
    void SetEvents(MovieControlEvents*) override {}

    // The load image a host must hand over for `movie` with this control's saved state.
    std::vector<std::uint8_t> ImageFor(const std::vector<std::uint8_t>& movie) const {
        std::vector<std::uint8_t> saved(sizeMax, 0);
        std::copy(state.begin(), state.begin() + std::min<std::size_t>(state.size(), sizeMax),
                  saved.begin());
        std::vector<std::uint8_t> image{0x66};
        for (std::size_t i = 1; i < 4; ++i) image.push_back(i < saved.size() ? saved[i] : 0);
        const auto length = static_cast<std::uint32_t>(movie.size());
        for (int shift = 0; shift < 32; shift += 8)
            image.push_back(static_cast<std::uint8_t>(length >> shift));
        image.insert(image.end(), movie.begin(), movie.end());
        if (saved.size() > 4) image.insert(image.end(), saved.begin() + 4, saved.end());
        return image;
    }
};
