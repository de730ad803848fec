// The movie control in a real top-level window: movie files of every kind play, FSCommands reach
// the window's handler, bad files change nothing, and the mouse rules hold for posted messages.
#include "ShockwaveEx_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "AxMovieControl_win.h"
#include "BuiltinMovie_win.h"
#include "EmbedMovie.h"
#include "TempFolder.h"
#include "WindowTestSupport_win.h"
#include "QuietMovieHost.h"

namespace {

using namespace flashtest;

// The frame the built-in control's core draws for a movie after `ticks` frames, as 0xRRGGBB.
std::vector<std::uint32_t> NativeFrame(const std::string& name, int ticks, int width, int height) {
    QuietMovieHost host;
    BuiltinMovie core(host);
    MemoryStream s(ReadBytes(MoviePath(name)));
    EmbedMovieStream(core, &s);
    for (int i = 0; i < ticks; ++i) core.Tick();
    const PixelImage& p = core.Render(width, height);
    std::vector<std::uint32_t> out;
    for (const std::uint32_t v : p.pixels) out.push_back(v & 0xFFFFFF);
    return out;
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                     static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

class MovieWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Errors().clear();
        ASSERT_NE(Form().Handle(), nullptr);
        SetWindowPos(Form().Handle(), nullptr, 0, 0, 550, 400, SWP_NOMOVE | SWP_NOZORDER);
        flash_ = std::make_unique<TShockwaveFlashEx>(&Form());
        ASSERT_NE(flash_->Handle(), nullptr);
        flash_->SetAlign(TAlign::Client);
        flash_->OnFSCommand = [this](const std::wstring& command, const std::wstring& args) {
            commands_.emplace_back(command, args);
        };
        Pump();
    }
    void TearDown() override {
        flash_.reset();
        Pump();
        EXPECT_TRUE(Errors().empty()) << Errors().front();
    }

    bool Playing() { return GetBoolProperty(flash_->Control(), FlashDispId::Playing); }
    int Frame() { return GetIntProperty(flash_->Control(), FlashDispId::FrameNum); }
    std::uint32_t Corner() { return Screenshot(flash_->Handle()).At(3, 3); }
    // Loads a movie and waits until its first frames have played.
    void Start(const std::string& name) {
        flash_->LoadMovieFile(MoviePath(name));
        ASSERT_TRUE(PumpUntil([&] { return Frame() >= 2; })) << name;
    }

    std::unique_ptr<TShockwaveFlashEx> flash_;
    std::vector<std::pair<std::wstring, std::wstring>> commands_;
};

TEST(AxMovieControl, AnUnregisteredControlIsNotCreated) {
    AxMovieControl ax(&Form(), {});
    EXPECT_FALSE(ax.Created());
    EXPECT_EQ(ax.CreationResult(), REGDB_E_CLASSNOTREG);
    EXPECT_THROW(ax.Play(), MovieControlError);
    EXPECT_THROW(ax.GetProperty(FlashDispId::Menu), MovieControlError);
    EXPECT_THROW(ax.SaveStateSizeMax(), MovieControlError);
}

TEST_F(MovieWindowTest, WithoutARegisteredControlTheBuiltInOneStartsAsTheLayoutSays) {
    ASSERT_TRUE(flash_->BuiltIn());
    MovieControl& c = flash_->Control();
    EXPECT_FALSE(GetBoolProperty(c, FlashDispId::Menu));
    EXPECT_TRUE(GetBoolProperty(c, FlashDispId::Loop));
    EXPECT_EQ(GetTextProperty(c, FlashDispId::WMode), u"Window");
    EXPECT_EQ(GetTextProperty(c, FlashDispId::Scale), u"ShowAll");
    EXPECT_EQ(GetTextProperty(c, FlashDispId::AllowNetworking), u"all");
    EXPECT_FALSE(Playing());  // no movie yet
}

TEST_F(MovieWindowTest, EveryFormOfTheMoviePlaysAlike) {
    const SwfMovie episode = ReadTestMovie("episode.swf");
    const SwfMovie logo = ReadTestMovie("logo.swf");
    ASSERT_NE(episode.background, logo.background);
    // The logo first each time, so that every form is seen to replace what showed.
    for (const char* form :
         {"episode.swf", "episode_cws.swf", "episode_kpv.swf", "episode_kpv_fws.swf"}) {
        SCOPED_TRACE(form);
        Start("logo.swf");
        EXPECT_EQ(Corner(), Rgb24(logo.background));

        flash_->LoadMovieFile(MoviePath(form));
        EXPECT_TRUE(Playing());
        EXPECT_EQ(Frame(), 0);
        ASSERT_TRUE(PumpUntil([&] { return Frame() >= 2; }));
        // The episode's sky covers its background colour.
        EXPECT_EQ(Corner(), NativeFrame("episode.swf", 0, 550, 400)[3 * 550 + 3]);
        EXPECT_NE(Corner(), Rgb24(logo.background));
        ASSERT_NE(flash_->BuiltinCore()->Movie(), nullptr);
        EXPECT_EQ(flash_->BuiltinCore()->Movie()->frames.size(), episode.frames.size());
        // The episode number shows in its own colour, drawn by the window's font.
        const Screenshot shot(flash_->Handle());
        EXPECT_GT(shot.CountNear(RECT{150, 190, 400, 250}, 0xC03030, 24), 20);
        EXPECT_EQ(shot.CountNear(RECT{150, 20, 400, 80}, 0xC03030, 24), 0);
    }
}

TEST_F(MovieWindowTest, AFrameOfTheCartoonShowsAsTheCoreDrewIt) {
    flash_->LoadMovieFile(MoviePath("episode.swf"));
    ASSERT_TRUE(PumpUntil([&] { return Frame() >= 2; }));
    flash_->Control().Stop();
    const int ticks = Frame();
    PumpFor(100);
    const Screenshot shot(flash_->Handle());
    ASSERT_EQ(shot.Width(), 550);
    ASSERT_EQ(shot.Height(), 400);
    const std::vector<std::uint32_t> native = NativeFrame("episode.swf", ticks, 550, 400);
    // The window's own font writes the titles over the picture; everything else is the core's.
    int same = 0, sameAbove = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 550; ++x)
            if (Near(shot.At(x, y), native[static_cast<std::size_t>(y) * 550 + x], 2)) {
                ++same;
                if (y < 100) ++sameAbove;
            }
    EXPECT_EQ(sameAbove, 550 * 100) << "the sky and the sun, where no title is";
    EXPECT_GT(same, 550 * 400 * 9 / 10);
}

TEST_F(MovieWindowTest, TheCartoonsNextButtonSendsItsCommandOnAClick) {
    flash_->LoadMovieFile(MoviePath("episode.swf"));
    ASSERT_TRUE(PumpUntil([&] { return Frame() >= 1; }));
    ASSERT_TRUE(commands_.empty());
    // The button lies 110 pixels from the right and 70 from the bottom of the stage.
    const LPARAM at = MAKELPARAM(550 - 100, 400 - 60);
    for (const UINT msg : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
        PostMessageW(flash_->Handle(), msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, at);
    ASSERT_TRUE(PumpUntil([&] { return !commands_.empty(); }));
    EXPECT_EQ(commands_.front(), (std::pair<std::wstring, std::wstring>{L"kefoend", L""}));
    EXPECT_TRUE(flash_->BuiltinCore()->OverButton());
}

TEST_F(MovieWindowTest, TheLastFramesCommandReachesTheHandlerAndTheMovieStops) {
    const SwfMovie episode = ReadTestMovie("episode.swf");
    flash_->LoadMovieFile(MoviePath("episode_kpv.swf"));
    ASSERT_TRUE(PumpUntil([&] { return !commands_.empty(); }));
    EXPECT_EQ(commands_, (decltype(commands_){{L"kefoend", L""}}));
    EXPECT_EQ(Frame(), static_cast<int>(episode.frames.size()) - 1);
    EXPECT_FALSE(Playing());
    PumpFor(300);
    EXPECT_EQ(commands_.size(), 1u);
}

TEST_F(MovieWindowTest, ACommandOfTheFirstFrameArrivesAfterTheLoadReturns) {
    // The next episode is loaded from the handler, as the player does; each load's command
    // arrives from the message loop, never inside the load that raised it.
    int depth = 0, loads = 0;
    flash_->OnFSCommand = [&](const std::wstring& command, const std::wstring&) {
        EXPECT_EQ(command, L"kefoend");
        EXPECT_EQ(depth, 0);
        if (++loads < 3) {
            ++depth;
            flash_->LoadMovieFile(MoviePath("episode_one_frame.swf"));
            --depth;
        }
    };
    ++depth;
    flash_->LoadMovieFile(MoviePath("episode_one_frame.swf"));
    --depth;
    EXPECT_EQ(loads, 0);
    ASSERT_TRUE(PumpUntil([&] { return loads == 3; }));
    PumpFor(200);
    EXPECT_EQ(loads, 3);
}

TEST_F(MovieWindowTest, ACommandOfAReplacedMovieIsDropped) {
    flash_->LoadMovieFile(MoviePath("episode_one_frame.swf"));
    flash_->LoadMovieFile(MoviePath("logo.swf"));
    PumpFor(300);
    EXPECT_TRUE(commands_.empty());
}

TEST_F(MovieWindowTest, AMissingOrUnusableFileChangesNothing) {
    TempFolder folder;
    const Bytes compressed = ReadBytes(MoviePath("episode_cws.swf"));
    const Bytes plain = ReadBytes(MoviePath("episode.swf"));
    WriteBytes(folder.File("truncated.swf"),
               Bytes(compressed.begin(), compressed.begin() + compressed.size() / 2));
    Bytes damaged = compressed;
    for (std::size_t i = 12; i < damaged.size(); i += 7) damaged[i] ^= 0x5A;
    WriteBytes(folder.File("damaged.swf"), damaged);
    WriteBytes(folder.File("short.swf"), BytesOf("FW"));
    Bytes notAMovie = plain;
    notAMovie[0] = 'X';  // passed on unchanged, and the control cannot play it
    WriteBytes(folder.File("notamovie.swf"), notAMovie);

    const SwfMovie logo = ReadTestMovie("logo.swf");
    Start("logo.swf");
    const SwfMovie* playing = flash_->BuiltinCore()->Movie();
    for (const std::string& path :
         {folder.File("missing.swf"), folder.File("truncated.swf"), folder.File("damaged.swf"),
          folder.File("short.swf"), folder.File("notamovie.swf")}) {
        SCOPED_TRACE(path);
        flash_->LoadMovieFile(path);
        EXPECT_EQ(flash_->BuiltinCore()->Movie(), playing);
        EXPECT_TRUE(Playing());
        const int before = Frame();
        ASSERT_TRUE(PumpUntil([&] { return Frame() != before; }));
        EXPECT_EQ(Corner(), Rgb24(logo.background));
    }
    EXPECT_TRUE(commands_.empty());
}

TEST_F(MovieWindowTest, TheLoadingMovieShowsTheDownloadPercentage) {
    Start("load.swf");
    // The percentage field: right-aligned, just left of the middle.
    const RECT field{140, 200, 275, 250};
    const std::uint32_t orange = 0xE07020;
    const int zero = Screenshot(flash_->Handle()).CountNear(field, orange, 24);
    EXPECT_GT(zero, 0);
    flash_->Control().SetVariable(u"_root.loadint", u"100");
    Pump();
    EXPECT_GT(Screenshot(flash_->Handle()).CountNear(field, orange, 24), zero * 2);
}

TEST_F(MovieWindowTest, TheStageKeepsItsShapeInAWiderWindow) {
    SetWindowPos(Form().Handle(), nullptr, 0, 0, 1100, 400, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    flash_->Control().SetProperty(FlashDispId::ScaleMode, std::int32_t{0});
    Start("episode.swf");
    const SwfMovie episode = ReadTestMovie("episode.swf");
    const Screenshot shot(flash_->Handle());
    // Shown whole and centred: the number stays in the middle at its height, the sides show
    // the background.
    EXPECT_GT(shot.CountNear(RECT{425, 190, 675, 250}, 0xC03030, 24), 20);
    EXPECT_EQ(shot.CountNear(RECT{0, 0, 270, 400}, Rgb24(episode.background), 0), 270 * 400);
}

TEST(MovieFonts, TheTextFaceHasChineseGlyphs) {
    MovieFonts fonts;
    HFONT font = fonts.Get(24);
    ASSERT_NE(font, nullptr);
    UniqueDc dc(CreateCompatibleDC(nullptr));
    SelectObject(dc.get(), font);
    const wchar_t text[] = L"第集快乐学习";
    WORD glyphs[6] = {};
    ASSERT_EQ(GetGlyphIndicesW(dc.get(), text, 6, glyphs, GGI_MARK_NONEXISTING_GLYPHS), 6u);
    for (WORD g : glyphs) EXPECT_NE(g, 0xFFFF);
}

// ---- the mouse

struct Posted {
    UINT msg;
    WPARAM wp;
};

struct MouseCase {
    const char* name;
    bool lock;
    std::vector<Posted> messages;
    std::vector<std::string> events;
};

class MouseTest : public MovieWindowTest {
  protected:
    void SetUp() override {
        MovieWindowTest::SetUp();
        flash_->OnMouseDown = [this](TMouseButton b, TShiftState s, int x, int y) {
            events_.push_back("down " + Name(b) + Xy(x, y) + Keys(s));
        };
        flash_->OnMouseUp = [this](TMouseButton b, TShiftState s, int x, int y) {
            events_.push_back("up " + Name(b) + Xy(x, y) + Keys(s));
        };
        flash_->OnMouseMove = [this](TShiftState s, int x, int y) {
            events_.push_back("move" + Xy(x, y) + Keys(s));
        };
        flash_->OnClick = [this] { events_.push_back("click"); };
    }
    static std::string Name(TMouseButton b) {
        return b == TMouseButton::Left ? "left" : b == TMouseButton::Right ? "right" : "middle";
    }
    static std::string Xy(int x, int y) {
        return " " + std::to_string(x) + "," + std::to_string(y);
    }
    static std::string Keys(TShiftState s) { return s.keys & MK_SHIFT ? " shift" : ""; }
    // Posts to the window that receives the control's mouse messages.
    void Post(HWND target, const std::vector<Posted>& messages) {
        for (const Posted& p : messages) PostMessageW(target, p.msg, p.wp, MAKELPARAM(30, 40));
        Pump();
    }

    std::vector<std::string> events_;
};

const std::vector<MouseCase>& MouseCases() {
    static const std::vector<MouseCase> cases = {
        {"left click",
         false,
         {{WM_MOUSEMOVE, 0}, {WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}},
         {"move 30,40", "down left 30,40", "up left 30,40", "click"}},
        {"left click while locked",
         true,
         {{WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT}, {WM_LBUTTONUP, MK_SHIFT}},
         {"down left 30,40 shift", "up left 30,40 shift", "click"}},
        {"right press, left release",
         false,
         {{WM_RBUTTONDOWN, MK_RBUTTON}, {WM_LBUTTONUP, 0}},
         {"up left 30,40", "click"}},
        {"release without press", true, {{WM_LBUTTONUP, 0}, {WM_RBUTTONUP, 0}}, {"up left 30,40"}},
        {"double click, middle button and wheel",
         false,
         {{WM_LBUTTONDBLCLK, MK_LBUTTON},
          {WM_MBUTTONDOWN, MK_MBUTTON},
          {WM_MBUTTONUP, 0},
          {WM_RBUTTONDBLCLK, 0},
          {WM_MOUSEWHEEL, 120 << 16}},
         {}},
    };
    return cases;
}

TEST_F(MouseTest, PostedMessagesRaiseTheEventsInOrder) {
    for (const MouseCase& c : MouseCases()) {
        SCOPED_TRACE(c.name);
        events_.clear();
        flash_->LockMouseClick = c.lock;
        Post(flash_->Handle(), c.messages);
        EXPECT_EQ(events_, c.events);
        EXPECT_FALSE(flash_->Pressed());
    }
}

// Ends the popup menu's loop by choosing its second item from the keyboard.
void CALLBACK ChooseSecondItem(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu) {
        EndMenu();
        return;
    }
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(menu, WM_KEYDOWN, key, 0);
}

TEST_F(MouseTest, ARightClickShowsThePopupMenuAndItsChoiceArrives) {
    HMENU menu = CreatePopupMenu();
    ASSERT_NE(menu, nullptr);
    UniqueMenu owned(menu);
    AppendMenuW(menu, MF_STRING, 101, L"一");
    AppendMenuW(menu, MF_STRING, 102, L"二");
    flash_->PopupMenu = menu;
    std::vector<UINT> chosen;
    flash_->OnPopupCommand = [&](UINT id) { chosen.push_back(id); };

    ASSERT_NE(SetTimer(nullptr, 0, 200, &ChooseSecondItem), 0u);
    Post(flash_->Handle(), {{WM_RBUTTONDOWN, MK_RBUTTON}});
    EXPECT_TRUE(flash_->Pressed());
    Post(flash_->Handle(), {{WM_RBUTTONUP, 0}});
    EXPECT_EQ(chosen, std::vector<UINT>{102});
    EXPECT_FALSE(flash_->Pressed());
    // The popup took the press: a left release that follows is no click.
    Post(flash_->Handle(), {{WM_LBUTTONUP, 0}});
    EXPECT_EQ(events_, std::vector<std::string>{"up left 30,40"});
}

}  // namespace
