#pragma once
#include <windows.h>
// The canvas port's DrawText keeps its own name: include this header before BuiltinMovie.h in a
// file that has <windows.h>. The system call is DrawTextW.
#undef DrawText

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "BuiltinMovie.h"
#include "Handles_win.h"
#include "ImageDecoder.h"
#include "SoundMixer.h"
#include "WaveOutSound_win.h"

// The built-in movie control on a window: GDI painting, the frame timer, sound through wave-out
// and FSCommands delivered from the window's message queue.

// The texts' font by pixel height: a face with Chinese glyphs.
class MovieFonts {
  public:
    HFONT Get(int pixelHeight);
    // Drops the fonts when many sizes gathered; only while none is selected into a DC.
    void Trim();

  private:
    std::map<int, UniqueGdi> fonts_;
};

class GdiMovieCanvas : public MovieCanvas {
  public:
    GdiMovieCanvas(HDC dc, MovieFonts& fonts);
    ~GdiMovieCanvas() override;
    GdiMovieCanvas(const GdiMovieCanvas&) = delete;
    GdiMovieCanvas& operator=(const GdiMovieCanvas&) = delete;

    void FillRect(const PixelRect& rect, Rgb color) override;
    void DrawPicture(const PixelImage& picture) override;
    void DrawText(const PixelRect& box, const std::u16string& line, Rgb color, int pixelHeight,
                  TextAlign align) override;

  private:
    HDC dc_;
    MovieFonts& fonts_;
    HGDIOBJ oldFont_ = nullptr;
    int oldMode_ = 0;
};

// The built-in control playing in a window that the caller owns and whose messages it passes to
// HandleMessage. FSCommands are posted to the window and raised from its message, so a handler
// never runs inside a call that loaded the movie; a command of a movie that was replaced before
// its message arrived is dropped.
class BuiltinMovieControl : public MovieControl,
                            private BuiltinMovieHost,
                            private MovieControlEvents {
  public:
    static constexpr UINT kCommandMessage = WM_APP + 0x3F1;
    static constexpr UINT_PTR kFrameTimer = 0x3F1;

    explicit BuiltinMovieControl(HWND window);
    ~BuiltinMovieControl() override;
    BuiltinMovieControl(const BuiltinMovieControl&) = delete;
    BuiltinMovieControl& operator=(const BuiltinMovieControl&) = delete;

    void Play() override { core_.Play(); }
    void Stop() override { core_.Stop(); }
    void LoadMovie(int layer, const std::u16string& url) override;
    void SetVariable(const std::u16string& name, const std::u16string& value) override {
        core_.SetVariable(name, value);
    }
    FlashValue GetProperty(int dispId) override { return core_.GetProperty(dispId); }
    void SetProperty(int dispId, const FlashValue& value) override;
    std::uint32_t SaveStateSizeMax() override { return core_.SaveStateSizeMax(); }
    void SaveState(std::vector<std::uint8_t>& buffer) override { core_.SaveState(buffer); }
    void LoadState(const std::vector<std::uint8_t>& image) override;
    void SetEvents(MovieControlEvents* events) override { events_ = events; }

    // Paint, erase, size, the frame timer and the command message; true when the message was
    // handled here, with its result.
    bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    const BuiltinMovie& Core() const { return core_; }

  private:
    struct Command {
        unsigned generation;
        std::u16string command, args;
    };

    void Invalidate() override;
    void SetFrameTimer(unsigned intervalMs) override;
    void OnFSCommand(const std::u16string& command, const std::u16string& args) override;
    // Counts a change of movie, which ends the commands still waiting.
    void MovieChangedFrom(const SwfMovie* before);
    // Raises the oldest waiting command; each posted message carries one.
    void DeliverCommand();
    void Paint();

    HWND window_;
    std::unique_ptr<ImageDecoder> decoder_ = MakeImageDecoder();
    SoundMixer mixer_;
    WaveOutSound sound_{mixer_};  // its thread ends before the mixer goes, and after the core
    BuiltinMovie core_;
    MovieFonts fonts_;
    MovieControlEvents* events_ = nullptr;
    std::deque<Command> commands_;
    unsigned generation_ = 0;
    bool timerRunning_ = false;
};
