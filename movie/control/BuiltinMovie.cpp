#include "BuiltinMovie.h"

#include <algorithm>
#include <cmath>

#include "LittleEndian.h"
#include "MovieImage.h"

namespace {

// Saved state: a marker word (0x67 ... without a movie; a load image puts 0x66, the length and
// the movie behind it), then the properties that were set, each as identifier, kind and value.
constexpr std::uint8_t kStateMarker[4] = {0x67, 0x55, 0x66, 0x55};

enum : std::uint8_t { kBool = 0, kInt = 1, kText = 2 };

std::u16string DecimalText(std::int32_t v) {
    const std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
}

FlashValue Coerce(FlashPropertyKind kind, const FlashValue& v) {
    const bool* b = std::get_if<bool>(&v);
    const std::int32_t* i = std::get_if<std::int32_t>(&v);
    const std::u16string* s = std::get_if<std::u16string>(&v);
    switch (kind) {
        case FlashPropertyKind::Bool:
            if (b) return *b;
            if (i) return *i != 0;
            return !s->empty() && *s != u"false" && *s != u"0";
        case FlashPropertyKind::Int:
            if (i) return *i;
            if (b) return std::int32_t{*b ? -1 : 0};
            {
                std::int64_t n = 0;
                bool negative = false;
                std::size_t at = 0;
                if (at < s->size() && (*s)[at] == u'-') negative = true, ++at;
                for (; at < s->size() && (*s)[at] >= u'0' && (*s)[at] <= u'9'; ++at)
                    n = std::min<std::int64_t>(n * 10 + ((*s)[at] - u'0'), 0x7FFFFFFF);
                return static_cast<std::int32_t>(negative ? -n : n);
            }
        default:
            if (s) return *s;
            if (i) return DecimalText(*i);
            return std::u16string(*b ? u"true" : u"false");
    }
}

void PutProps(std::vector<std::uint8_t>& out, const std::map<int, FlashValue>& props) {
    le::Append16(out, static_cast<std::uint16_t>(props.size()));
    for (const auto& [id, value] : props) {
        le::Append32(out, static_cast<std::uint32_t>(id));
        if (const bool* b = std::get_if<bool>(&value)) {
            out.push_back(kBool);
            out.push_back(*b ? 1 : 0);
        } else if (const std::int32_t* i = std::get_if<std::int32_t>(&value)) {
            out.push_back(kInt);
            le::Append32(out, static_cast<std::uint32_t>(*i));
        } else {
            const auto& s = std::get<std::u16string>(value);
            out.push_back(kText);
            le::Append32(out, static_cast<std::uint32_t>(s.size()));
            for (const char16_t c : s) le::Append16(out, c);
        }
    }
}

bool ReadProps(const std::uint8_t* data, std::size_t size, std::map<int, FlashValue>& props) {
    if (size == 0) return true;  // an image without properties keeps the defaults
    le::Reader r(data, size);
    const std::uint32_t count = r.U16();
    for (std::uint32_t n = 0; n < count && r.Ok(); ++n) {
        const auto id = static_cast<int>(r.U32());
        switch (r.U8()) {
            case kBool:
                props[id] = Coerce(KindOfFlashProperty(id), r.U8() != 0);
                break;
            case kInt:
                props[id] = Coerce(KindOfFlashProperty(id), static_cast<std::int32_t>(r.U32()));
                break;
            case kText: {
                const std::uint32_t length = r.U32();
                if (length > r.Left() / 2) return false;
                std::u16string s;
                s.reserve(length);
                for (std::uint32_t i = 0; i < length; ++i)
                    s.push_back(static_cast<char16_t>(r.U16()));
                props[id] = Coerce(KindOfFlashProperty(id), s);
                break;
            }
            default:
                return false;
        }
    }
    return r.Ok();
}

Rgb RgbFromInt(std::int32_t v) {
    Rgb c;
    c.r = static_cast<std::uint8_t>(v >> 16);
    c.g = static_cast<std::uint8_t>(v >> 8);
    c.b = static_cast<std::uint8_t>(v);
    return c;
}

// Stage twips to client pixels for a scale mode: 0 show all, 1 no border, 2 exact fit, 3 no scale.
struct StageTransform {
    double sx = 1, sy = 1, ox = 0, oy = 0;
    std::int32_t x0 = 0, y0 = 0;

    StageTransform(const SwfRect& stage, int width, int height, int mode)
        : x0(stage.xMin), y0(stage.yMin) {
        double sw = (stage.xMax - stage.xMin) / 20.0, sh = (stage.yMax - stage.yMin) / 20.0;
        if (sw <= 0 || sh <= 0) sw = width, sh = height;
        if (sw <= 0 || sh <= 0) return;
        if (mode == 2) {
            sx = width / sw;
            sy = height / sh;
            return;
        }
        double s = 1;
        if (mode == 0) s = std::min(width / sw, height / sh);
        if (mode == 1) s = std::max(width / sw, height / sh);
        sx = sy = s;
        ox = (width - sw * s) / 2;
        oy = (height - sh * s) / 2;
    }
    int X(std::int64_t twips) const {
        return static_cast<int>(std::lround(ox + (twips - x0) / 20.0 * sx));
    }
    int Y(std::int64_t twips) const {
        return static_cast<int>(std::lround(oy + (twips - y0) / 20.0 * sy));
    }
    Matrix2D ToDevice() const {
        return Matrix2D::Translate(ox - x0 / 20.0 * sx, oy - y0 / 20.0 * sy) *
               Matrix2D::Scale(sx / 20, sy / 20);
    }
};

int Round(double v) {
    return static_cast<int>(std::lround(std::clamp(v, -1e9, 1e9)));
}

bool AnyAnimatedClip(const Clip& clip) {
    for (const auto& [depth, o] : clip.display)
        if (o.clip && (o.clip->FrameCount() > 1 || AnyAnimatedClip(*o.clip))) return true;
    return false;
}

// A strip that stands out from the background.
Rgb StripColor(Rgb background) {
    const int luminance = (background.r * 299 + background.g * 587 + background.b * 114) / 1000;
    return luminance > 128 ? Rgb{0x40, 0x40, 0x40} : Rgb{0xC0, 0xC0, 0xC0};
}

std::vector<std::u16string> Lines(const std::u16string& text) {
    std::vector<std::u16string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            lines.emplace_back();
        } else {
            lines.back().push_back(c);
        }
    }
    return lines;
}

}  // namespace

BuiltinMovie::BuiltinMovie(BuiltinMovieHost& host, ImageDecoder* decoder,
                           const MovieSoundParts& sound)
    : host_(host), decoder_(decoder), sound_(sound) {}

bool BuiltinMovie::Prop(int dispId) const {
    const auto it = props_.find(dispId);
    const FlashValue v = it != props_.end() ? it->second : DefaultFlashValue(dispId);
    return std::get<bool>(Coerce(FlashPropertyKind::Bool, v));
}

void BuiltinMovie::Play() {
    if (!movie_) return;
    halted_ = false;
    sound_.Pause(false);
    timeline_.SetPlaying(true);
    Changed();
}

void BuiltinMovie::Stop() {
    halted_ = true;
    sound_.Pause(true);
    timeline_.SetPlaying(false);
    Changed();
}

void BuiltinMovie::LoadMovie(int layer, const std::u16string& url) {
    if (layer != 0) return;
    if (url.empty() || url == u"http://") Clear();
}

void BuiltinMovie::SetVariable(const std::u16string& name, const std::u16string& value) {
    timeline_.SetVariable(name, value);
    dirty_ = true;
    if (movie_) host_.Invalidate();
}

std::u16string BuiltinMovie::Variable(const std::u16string& name) const {
    return timeline_.Variable(name);
}

FlashValue BuiltinMovie::GetProperty(int dispId) {
    if (dispId == FlashDispId::Playing) return IsPlaying();
    if (dispId == FlashDispId::FrameNum) return std::int32_t{CurrentFrame()};
    const auto it = props_.find(dispId);
    return it != props_.end() ? it->second : DefaultFlashValue(dispId);
}

void BuiltinMovie::SetProperty(int dispId, const FlashValue& value) {
    const FlashValue v = Coerce(KindOfFlashProperty(dispId), value);
    if (dispId == FlashDispId::Playing) {
        std::get<bool>(v) ? Play() : Stop();
        return;
    }
    if (dispId == FlashDispId::FrameNum) {
        if (!movie_ || movie_->frames.empty()) return;
        const int last = static_cast<int>(movie_->frames.size()) - 1;
        timeline_.GotoFrame(std::clamp(std::get<std::int32_t>(v), 0, last), IsPlaying());
        Changed();
        FirePending();
        return;
    }
    props_[dispId] = v;
    if (dispId == FlashDispId::Movie) {
        LoadMovie(0, std::get<std::u16string>(v));
        return;
    }
    dirty_ = true;
    host_.Invalidate();
}

std::vector<std::uint8_t> BuiltinMovie::StateBytes() const {
    std::vector<std::uint8_t> out(kStateMarker, kStateMarker + 4);
    if (movie_ && Prop(FlashDispId::EmbedMovie)) {
        out[0] = kMovieMarker;
        le::Append32(out, static_cast<std::uint32_t>(movieBytes_.size()));
        out.insert(out.end(), movieBytes_.begin(), movieBytes_.end());
    }
    PutProps(out, props_);
    return out;
}

std::uint32_t BuiltinMovie::SaveStateSizeMax() {
    return static_cast<std::uint32_t>(StateBytes().size());
}

void BuiltinMovie::SaveState(std::vector<std::uint8_t>& buffer) {
    const std::vector<std::uint8_t> state = StateBytes();
    if (buffer.size() < state.size()) throw MovieControlError("The state does not fit its buffer");
    std::copy(state.begin(), state.end(), buffer.begin());
}

void BuiltinMovie::LoadState(const std::vector<std::uint8_t>& image) {
    StateImageParts parts;
    if (!SplitStateImage(image.data(), image.size(), parts) ||
        (image[0] != kMovieMarker && image[0] != kStateMarker[0]))
        throw MovieControlError("The saved state cannot be read");
    std::map<int, FlashValue> props;
    if (!ReadProps(parts.rest, parts.restLength, props))
        throw MovieControlError("The saved state cannot be read");
    if (!parts.hasMovie) {
        props_ = std::move(props);
        Clear();
        return;
    }
    auto movie = std::make_unique<SwfMovie>();
    if (!ReadSwf(parts.movie, parts.movieLength, *movie, decoder_))
        throw MovieControlError("The embedded movie cannot be played");
    props_ = std::move(props);
    Start(std::move(movie),
          std::vector<std::uint8_t>(parts.movie, parts.movie + parts.movieLength));
}

void BuiltinMovie::Clear() {
    over_ = pressed_ = {};
    sound_.Clear();
    sound_.Pause(false);
    timeline_.Clear();
    painter_.Reset();
    movie_.reset();
    movieBytes_.clear();
    pending_.clear();
    halted_ = false;
    ++generation_;
    Changed();
}

void BuiltinMovie::Start(std::unique_ptr<SwfMovie> movie, std::vector<std::uint8_t> bytes) {
    over_ = pressed_ = {};
    sound_.Clear();
    timeline_.Clear();
    painter_.Reset();
    pending_.clear();
    movie_ = std::move(movie);
    movieBytes_ = std::move(bytes);
    ++generation_;
    halted_ = false;
    sound_.Pause(false);
    sound_.Start(*movie_);
    timeline_.Start(*movie_);
    Changed();
    FirePending();
}

void BuiltinMovie::OnGetUrl(const std::u16string& url, const std::u16string& target) {
    static const std::u16string kPrefix = u"fscommand:";
    if (url.size() < kPrefix.size()) return;
    for (std::size_t i = 0; i < kPrefix.size(); ++i) {
        char16_t c = url[i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != kPrefix[i]) return;  // other addresses are not opened
    }
    // A movie that loops on commands cannot flood the player.
    if (pending_.size() < 64) pending_.push_back({url.substr(kPrefix.size()), target});
}

bool BuiltinMovie::Animated() const {
    if (!movie_ || halted_) return false;
    return (timeline_.Playing() && movie_->frames.size() > 1) || AnyAnimatedClip(timeline_.Root());
}

void BuiltinMovie::OnFrameEntered(const Clip& clip) {
    sound_.FrameEntered(clip, &clip == &timeline_.Root());
}

void BuiltinMovie::Tick() {
    if (!Animated()) return;
    // While the main timeline's stream plays, its sound says how far the pictures go.
    const int steps = sound_.FramesDue(timeline_);
    if (steps == 0) return;
    const bool loop = Prop(FlashDispId::Loop);
    for (int i = 0; i < steps && movie_; ++i) timeline_.Tick(loop);
    Changed();
    FirePending();
}

void BuiltinMovie::Changed() {
    dirty_ = true;
    sound_.Settle(timeline_, halted_);
    const unsigned want = Animated() ? FrameIntervalMs() : 0;
    if (want != timer_) {
        timer_ = want;
        host_.SetFrameTimer(want);
    }
    host_.Invalidate();
}

void BuiltinMovie::FirePending() {
    if (pending_.empty()) return;
    const std::vector<Command> commands = std::move(pending_);
    pending_.clear();
    const unsigned generation = generation_;
    for (const Command& c : commands) {
        if (generation != generation_ || !events_) break;
        events_->OnFSCommand(c.command, c.args);
    }
}

unsigned BuiltinMovie::FrameIntervalMs() const {
    const double fps = movie_ ? movie_->FramesPerSecond() : 0;
    if (fps <= 0) return 1000 / 12;
    return static_cast<unsigned>(std::clamp(std::lround(1000 / fps), 8L, 60000L));
}

Rgb BuiltinMovie::Background() const {
    const auto it = props_.find(FlashDispId::BackgroundColor);
    const std::int32_t overrideColor = it != props_.end() ? std::get<std::int32_t>(it->second) : -1;
    if (overrideColor >= 0) return RgbFromInt(overrideColor);
    return movie_ && movie_->hasBackground ? movie_->background : Rgb{255, 255, 255};
}

Matrix2D BuiltinMovie::StageToDevice(int width, int height) const {
    const auto scale = props_.find(FlashDispId::ScaleMode);
    return StageTransform(movie_->stage, width, height,
                          scale != props_.end() ? std::get<std::int32_t>(scale->second) : 0)
        .ToDevice();
}

BuiltinMovie::ButtonRef BuiltinMovie::ButtonAt(int x, int y) {
    ButtonRef b;
    if (!movie_ || width_ <= 0 || height_ <= 0) return b;
    const Clip* clip = nullptr;
    std::uint16_t depth = 0;
    if (painter_.HitButton(*movie_, timeline_, StageToDevice(width_, height_), {x + 0.5, y + 0.5},
                           clip, depth)) {
        b.clip = clip->weak_from_this();
        b.depth = depth;
    }
    return b;
}

void BuiltinMovie::Transition(const ButtonRef& b, std::uint8_t state, std::uint16_t condition) {
    const std::shared_ptr<const Clip> clip = b.clip.lock();
    if (!clip) return;
    const auto placed = clip->display.find(b.depth);
    if (placed != clip->display.end()) {
        static constexpr std::pair<std::uint16_t, int> kSounds[] = {
            {SwfButtonCondition::OverUpToIdle, SwfButtonSounds::OverUpToIdle},
            {SwfButtonCondition::IdleToOverUp, SwfButtonSounds::IdleToOverUp},
            {SwfButtonCondition::OverUpToOverDown, SwfButtonSounds::OverUpToOverDown},
            {SwfButtonCondition::OverDownToOverUp, SwfButtonSounds::OverDownToOverUp}};
        for (const auto& [c, transition] : kSounds)
            if (c == condition) sound_.ButtonTransition(placed->second.characterId, transition);
    }
    timeline_.SetButtonState(*clip, b.depth, state);
    timeline_.RunButtonActions(*clip, b.depth, condition);
}

void BuiltinMovie::PointerMove(int x, int y) {
    const ButtonRef now = ButtonAt(x, y);
    if (now.Same(over_) || (now.clip.expired() && over_.clip.expired())) return;
    const bool down = !pressed_.clip.expired();
    if (!over_.clip.expired())
        Transition(over_, SwfButtonRecord::Up,
                   down && over_.Same(pressed_) ? SwfButtonCondition::OverDownToOutDown
                                                : SwfButtonCondition::OverUpToIdle);
    over_ = now;
    if (!over_.clip.expired()) {
        const bool back = down && over_.Same(pressed_);
        Transition(over_, back ? SwfButtonRecord::Down : SwfButtonRecord::Over,
                   back ? SwfButtonCondition::OutDownToOverDown : SwfButtonCondition::IdleToOverUp);
    }
    Changed();
    FirePending();
}

void BuiltinMovie::PointerDown(int x, int y) {
    PointerMove(x, y);
    if (over_.clip.expired()) return;
    pressed_ = over_;
    Transition(over_, SwfButtonRecord::Down, SwfButtonCondition::OverUpToOverDown);
    Changed();
    FirePending();
}

void BuiltinMovie::PointerUp(int x, int y) {
    PointerMove(x, y);
    if (pressed_.clip.expired()) return;
    const ButtonRef pressed = pressed_;
    pressed_ = {};
    if (pressed.Same(over_))
        Transition(pressed, SwfButtonRecord::Over, SwfButtonCondition::OverDownToOverUp);
    else
        Transition(pressed, SwfButtonRecord::Up, SwfButtonCondition::OutDownToIdle);
    Changed();
    FirePending();
}

const PixelImage& BuiltinMovie::Render(int width, int height) {
    // A window painted again with nothing changed shows the frame it has.
    if (!dirty_ && width == width_ && height == height_ && picture_.width == width &&
        picture_.height == height)
        return picture_;
    dirty_ = false;
    width_ = width;
    height_ = height;
    if (picture_.width != width || picture_.height != height) picture_.Resize(width, height);
    const Rgb b = Background();
    std::fill(picture_.pixels.begin(), picture_.pixels.end(),
              0xFF000000u | std::uint32_t{b.r} << 16 | std::uint32_t{b.g} << 8 | b.b);
    fields_.clear();
    if (movie_) painter_.Paint(*movie_, timeline_, StageToDevice(width, height), picture_, fields_);
    return picture_;
}

void BuiltinMovie::Paint(MovieCanvas& canvas, int width, int height) {
    const PixelRect client{0, 0, width, height};
    const Rgb background = Background();
    canvas.FillRect(client, background);
    if (!movie_) return;
    canvas.DrawPicture(Render(width, height));

    for (const StagePainter::Field& f : fields_) {
        const SwfEditText& e = *f.text;
        const Matrix2D& m = f.toDevice;
        const double gutter = 40;  // two pixels inside the field's bounds, as fields have
        const Point a = m.Apply({e.bounds.xMin + e.leftMargin + gutter, e.bounds.yMin + gutter});
        const Point b = m.Apply({e.bounds.xMax - e.rightMargin - gutter, e.bounds.yMax - gutter});
        PixelRect box{Round(std::min(a.x, b.x)), Round(std::min(a.y, b.y)),
                      Round(std::max(a.x, b.x)), Round(std::max(a.y, b.y))};
        const double yScale = std::sqrt(m.c * m.c + m.d * m.d);
        const int pixelHeight = std::max(1, Round(e.fontHeight * yScale));
        const int lineHeight = std::max(1, pixelHeight + Round(e.leading * yScale));
        const TextAlign align = e.align == 1   ? TextAlign::Right
                                : e.align == 2 ? TextAlign::Center
                                : e.align == 3 ? TextAlign::Justify
                                               : TextAlign::Left;
        const std::u16string text =
            e.variable.empty() ? e.initialText : timeline_.FieldText(*f.clip, e.variable);
        for (const std::u16string& line : Lines(text)) {
            if (box.top >= box.bottom) break;
            canvas.DrawText(box, line, e.color, pixelHeight, align);
            box.top += lineHeight;
        }
    }

    const std::size_t frames = movie_->frames.size();
    if (frames > 1) {
        const auto scale = props_.find(FlashDispId::ScaleMode);
        const StageTransform t(movie_->stage, width, height,
                               scale != props_.end() ? std::get<std::int32_t>(scale->second) : 0);
        const int left = t.X(movie_->stage.xMin), right = t.X(movie_->stage.xMax);
        const int bottom = t.Y(movie_->stage.yMax);
        const int strip = std::max(2, (bottom - t.Y(movie_->stage.yMin)) / 100);
        const int done =
            left + static_cast<int>((right - left) * static_cast<std::int64_t>(CurrentFrame() + 1) /
                                    static_cast<std::int64_t>(frames));
        canvas.FillRect({left, bottom - strip, done, bottom}, StripColor(background));
    }
}
