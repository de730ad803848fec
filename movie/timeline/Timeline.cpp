#include "Timeline.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

std::u16string Lower(std::u16string s) {
    for (char16_t& c : s)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return s;
}

// "_root.a", "/a/b", "../c", "_parent.d": the names between the separators.
std::vector<std::u16string> Segments(const std::u16string& path) {
    std::vector<std::u16string> out;
    std::u16string part;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char16_t c = path[i];
        if (c == u'.' && i + 1 < path.size() && path[i + 1] == u'.') {
            if (!part.empty()) out.push_back(part);
            part.clear();
            out.push_back(u"..");
            ++i;
        } else if (c == u'.' || c == u'/') {
            if (!part.empty()) out.push_back(part);
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty()) out.push_back(part);
    return out;
}

double ScaleX(const SwfMatrix& m) {
    return std::sqrt(m.a * m.a + m.b * m.b);
}
double ScaleY(const SwfMatrix& m) {
    return std::sqrt(m.c * m.c + m.d * m.d);
}

// Rebuilds the matrix from scales and a rotation in degrees, keeping the translation.
void SetScaleRotation(SwfMatrix& m, double sx, double sy, double degrees) {
    const double r = degrees * kPi / 180;
    m.a = sx * std::cos(r);
    m.b = sx * std::sin(r);
    m.c = -sy * std::sin(r);
    m.d = sy * std::cos(r);
}

double Rotation(const SwfMatrix& m) {
    return std::atan2(m.b, m.a) * 180 / kPi;
}

}  // namespace

// The actions' view of the timelines: paths resolve from the clip whose actions run.
class TimelineActions : public ActionHost {
  public:
    TimelineActions(Timeline& t, Clip& base) : t_(t), base_(base), target_(&base) {}

    void SetTarget(const std::u16string& path) override {
        target_ = path.empty() ? &base_ : ResolveClip(base_, path);
    }
    void Stop() override {
        if (target_) target_->playing = false;
    }
    void Play() override {
        if (target_) target_->playing = true;
    }
    void NextFrame() override {
        if (target_) Go(*target_, target_->frame + 1, false);
    }
    void PrevFrame() override {
        if (target_) Go(*target_, target_->frame - 1, false);
    }
    void GotoFrame(int frame, bool play) override {
        if (target_) Go(*target_, frame, play);
    }
    void GotoLabel(const std::u16string& label, bool play) override {
        if (!target_ || !target_->frames) return;
        const std::u16string wanted = Lower(label);
        for (std::size_t f = 0; f < target_->frames->size(); ++f)
            if (!(*target_->frames)[f].label.empty() &&
                Lower((*target_->frames)[f].label) == wanted)
                return Go(*target_, static_cast<int>(f), play);
    }
    void GetUrl(const std::u16string& url, const std::u16string& target) override {
        t_.events_.OnGetUrl(url, target);
    }

    ActionValue GetVariable(const std::u16string& path) override {
        if (Clip* clip = ResolveClip(*Here(), path)) return ActionValue::ClipAt(PathOf(*clip));
        Clip* owner = nullptr;
        std::u16string name;
        if (!SplitVariable(path, owner, name)) return {};
        const auto it = owner->variables.find(name);
        return it != owner->variables.end() ? it->second : ActionValue{};
    }
    void SetVariable(const std::u16string& path, const ActionValue& value) override {
        Clip* owner = nullptr;
        std::u16string name;
        if (!SplitVariable(path, owner, name) || name.empty()) return;
        if (owner->variables.size() >= kMaxVariables && !owner->variables.count(name)) return;
        owner->variables[name] = value;
    }

    ActionValue GetProperty(const std::u16string& target, int index) override {
        Clip* clip = target.empty() ? Here() : ResolveClip(*Here(), target);
        if (!clip) return {};
        const DisplayObject* o = t_.ObjectOf(*clip);
        if (!o) return {};
        const SwfMatrix& m = o->matrix;
        switch (index) {
            case ClipProperty::X:
                return ActionValue::Of(m.tx / 20);
            case ClipProperty::Y:
                return ActionValue::Of(m.ty / 20);
            case ClipProperty::XScale:
                return ActionValue::Of(ScaleX(m) * 100);
            case ClipProperty::YScale:
                return ActionValue::Of(ScaleY(m) * 100);
            case ClipProperty::CurrentFrame:
                return ActionValue::Of(static_cast<double>(clip->frame + 1));
            case ClipProperty::TotalFrames:
            case ClipProperty::FramesLoaded:
                return ActionValue::Of(static_cast<double>(clip->FrameCount()));
            case ClipProperty::Alpha:
                return ActionValue::Of(o->cxform.am * 100);
            case ClipProperty::Visible:
                return ActionValue::Of(o->visible);
            case ClipProperty::Rotation:
                return ActionValue::Of(Rotation(m));
            case ClipProperty::Target:
                return ActionValue::Of(PathOf(*clip));
            case ClipProperty::Name:
                return ActionValue::Of(o->name);
            default:
                return {};
        }
    }

    void SetProperty(const std::u16string& target, int index, const ActionValue& value) override {
        Clip* clip = target.empty() ? Here() : ResolveClip(*Here(), target);
        if (!clip) return;
        DisplayObject* o = t_.ObjectOf(*clip);
        if (!o) return;
        const double v = value.ToNumber(t_.movie_ ? t_.movie_->version : 8);
        if (index == ClipProperty::Visible) {
            o->visible = value.ToBool(t_.movie_ ? t_.movie_->version : 8);
            return;
        }
        if (index == ClipProperty::Name) {
            o->name = value.ToText(8);
            return;
        }
        if (!std::isfinite(v)) return;
        SwfMatrix& m = o->matrix;
        const double limit = 1e7;
        switch (index) {
            case ClipProperty::X:
                m.tx = std::clamp(v * 20, -limit, limit);
                break;
            case ClipProperty::Y:
                m.ty = std::clamp(v * 20, -limit, limit);
                break;
            case ClipProperty::XScale:
                SetScaleRotation(m, std::clamp(v / 100, -1e4, 1e4), ScaleY(m), Rotation(m));
                break;
            case ClipProperty::YScale:
                SetScaleRotation(m, ScaleX(m), std::clamp(v / 100, -1e4, 1e4), Rotation(m));
                break;
            case ClipProperty::Rotation:
                SetScaleRotation(m, ScaleX(m), ScaleY(m), std::fmod(v, 360));
                break;
            case ClipProperty::Alpha:
                o->cxform.am = std::clamp(v / 100, -1e4, 1e4);
                break;
            default:
                break;
        }
    }

    bool CallClipMethod(const std::u16string& target, const std::u16string& method,
                        const std::vector<ActionValue>& args) override {
        Clip* clip = ResolveClip(*Here(), target);
        if (!clip) return false;
        const std::u16string m = Lower(method);
        if (m == u"play" || m == u"stop") {
            clip->playing = m == u"play";
            return true;
        }
        if (m == u"nextframe" || m == u"prevframe") {
            Go(*clip, clip->frame + (m == u"nextframe" ? 1 : -1), false);
            return true;
        }
        if (m == u"gotoandplay" || m == u"gotoandstop") {
            if (args.empty()) return true;
            Clip* saved = target_;
            target_ = clip;
            const ActionValue& frame = args[0];
            const bool play = m == u"gotoandplay";
            if (frame.kind == ActionValue::String) {
                const double n = frame.ToNumber(7);
                if (std::isnan(n))
                    GotoLabel(frame.text, play);
                else
                    Go(*clip, static_cast<int>(std::clamp(n, -1e9, 1e9)) - 1, play);
            } else {
                const double n = frame.ToNumber(7);
                if (std::isfinite(n))
                    Go(*clip, static_cast<int>(std::clamp(n, -1e9, 1e9)) - 1, play);
            }
            target_ = saved;
            return true;
        }
        return false;
    }

  private:
    Clip* Here() { return target_ ? target_ : &base_; }

    void Go(Clip& clip, int frame, bool play) {
        const int count = clip.FrameCount();
        if (count == 0) return;
        // A frame past either end is the end.
        t_.Goto(clip, std::clamp(frame, 0, count - 1));
        clip.playing = play;
    }

    Clip* ResolveClip(Clip& from, const std::u16string& path) {
        if (path.empty()) return nullptr;
        Clip* at = &from;
        if (path[0] == u'/') at = t_.root_.get();
        for (const std::u16string& s : Segments(path)) {
            const std::u16string name = Lower(s);
            if (name == u"_root" || name == u"_level0") {
                at = t_.root_.get();
            } else if (name == u"_parent" || name == u"..") {
                if (!at->parent) return nullptr;
                at = at->parent;
            } else if (name == u"this") {
                continue;
            } else {
                Clip* child = nullptr;
                for (auto& [depth, o] : at->display)
                    if (o.clip && Lower(o.name) == name) {
                        child = o.clip.get();
                        break;
                    }
                if (!child) return nullptr;
                at = child;
            }
        }
        return at;
    }

    // "v", "/a:v", "_root.a.v": the clip and the name.
    bool SplitVariable(const std::u16string& path, Clip*& owner, std::u16string& name) {
        std::size_t cut = path.rfind(u':');
        if (cut == std::u16string::npos) cut = path.rfind(u'.');
        if (cut == std::u16string::npos) {
            owner = Here();
            name = path;
            return true;
        }
        owner = cut == 0 ? t_.root_.get() : ResolveClip(*Here(), path.substr(0, cut));
        name = path.substr(cut + 1);
        return owner != nullptr;
    }

    std::u16string PathOf(const Clip& clip) {
        std::vector<std::u16string> names;
        for (const Clip* c = &clip; c && c->parent; c = c->parent) {
            const DisplayObject* o = t_.ObjectOf(const_cast<Clip&>(*c));
            names.push_back(o ? o->name : u"");
        }
        std::u16string path = u"_root";
        for (auto it = names.rbegin(); it != names.rend(); ++it) path += u"." + *it;
        return path;
    }

    Timeline& t_;
    Clip& base_;
    Clip* target_;
};

void Timeline::Start(const SwfMovie& movie) {
    Clear();
    movie_ = &movie;
    root_->frames = &movie.frames;
    if (movie.stream.present) root_->stream = &movie.stream;
    root_->playing = true;
    if (!movie.frames.empty()) {
        Enter(*root_, 0);
        RunPending();
    }
}

void Timeline::Clear() {
    movie_ = nullptr;
    root_ = std::make_shared<Clip>();
    rootObject_ = {};
    pending_.clear();
    objects_ = 0;
    names_ = 0;
}

DisplayObject* Timeline::ObjectOf(Clip& clip) {
    if (&clip == root_.get()) return &rootObject_;
    if (!clip.parent) return nullptr;
    for (auto& [depth, o] : clip.parent->display)
        if (o.clip.get() == &clip) return &o;
    return nullptr;
}

std::size_t Timeline::Count(const DisplayObject& o) const {
    std::size_t n = 1;
    if (o.clip)
        for (const auto& [depth, child] : o.clip->display) n += Count(child);
    return n;
}

void Timeline::Remove(Clip& clip, std::uint16_t depth) {
    const auto it = clip.display.find(depth);
    if (it == clip.display.end()) return;
    objects_ -= std::min(objects_, Count(it->second));
    clip.display.erase(it);
}

std::shared_ptr<Clip> Timeline::NewClip(Clip& parent, std::uint16_t characterId) {
    const auto sprite = movie_->sprites.find(characterId);
    if (sprite == movie_->sprites.end() || parent.nesting + 1 > kMaxClipNesting) return nullptr;
    auto clip = std::make_shared<Clip>();
    clip->frames = &sprite->second.frames;
    if (sprite->second.stream.present) clip->stream = &sprite->second.stream;
    clip->nesting = parent.nesting + 1;
    clip->parent = &parent;
    return clip;
}

void Timeline::Place(Clip& clip, const SwfPlace& p, std::map<std::uint16_t, DisplayObject>* reuse) {
    auto it = clip.display.find(p.depth);
    const bool replace = p.kind == SwfPlace::Modify && it != clip.display.end() && p.hasCharacter &&
                         it->second.characterId != p.characterId;
    if (p.kind == SwfPlace::Modify && it != clip.display.end() && !replace) {
        DisplayObject& o = it->second;
        if (p.hasMatrix) o.matrix = p.matrix;
        if (p.hasCxform) o.cxform = p.cxform;
        if (p.hasRatio) o.ratio = p.ratio;
        if (p.hasName) o.name = p.name;
        if (p.hasClipDepth) o.clipDepth = p.clipDepth;
        return;
    }
    if (!p.hasCharacter || !movie_->characters.count(p.characterId)) return;
    DisplayObject o;
    if (replace) {
        // A new character at the same depth keeps the placement's other fields.
        objects_ -= std::min(objects_, Count(it->second));
        o = std::move(it->second);
        o.clip.reset();
        clip.display.erase(it);
    } else if (p.kind == SwfPlace::Place && it != clip.display.end()) {
        return;  // the depth is taken
    }
    if (reuse) {
        // Going back to an earlier frame keeps what stays in place, movie clips with their state.
        const auto old = reuse->find(p.depth);
        if (old != reuse->end() && old->second.characterId == p.characterId) {
            o = std::move(old->second);
            reuse->erase(old);
        }
    }
    const std::size_t adding = o.clip ? Count(o) : 1;
    if (objects_ + adding > kMaxDisplayObjects) return;
    objects_ += adding;
    o.characterId = p.characterId;
    if (p.hasMatrix) o.matrix = p.matrix;
    if (p.hasCxform) o.cxform = p.cxform;
    if (p.hasRatio) o.ratio = p.ratio;
    if (p.hasClipDepth) o.clipDepth = p.clipDepth;
    if (p.hasName)
        o.name = p.name;
    else if (o.name.empty())
        o.name = u"instance" + [](unsigned n) {
            const std::string s = std::to_string(n);
            return std::u16string(s.begin(), s.end());
        }(++names_);
    const bool fresh = !o.clip;
    if (fresh) o.clip = NewClip(clip, p.characterId);
    if (o.clip) o.clip->parent = &clip;
    DisplayObject& placed = clip.display[p.depth] = std::move(o);
    // A field whose variable does not exist yet gives it its initial text.
    const auto field = movie_->editTexts.find(p.characterId);
    if (field != movie_->editTexts.end() && !field->second.variable.empty()) {
        TimelineActions actions(*this, clip);
        if (actions.GetVariable(field->second.variable).kind == ActionValue::Undefined)
            actions.SetVariable(field->second.variable, ActionValue::Of(field->second.initialText));
    }
    // A new movie clip shows its first frame at once.
    if (fresh && placed.clip && placed.clip->FrameCount() > 0) Enter(*placed.clip, 0);
}

void Timeline::Apply(Clip& clip, const SwfFrame& frame,
                     std::map<std::uint16_t, DisplayObject>* reuse) {
    for (const SwfPlace& p : frame.places) {
        if (p.kind == SwfPlace::Remove)
            Remove(clip, p.depth);
        else
            Place(clip, p, reuse);
    }
}

void Timeline::Queue(Clip& clip, const std::vector<std::uint8_t>& bytes) {
    if (pending_.size() >= kMaxActionBlocksPerTick) return;
    pending_.push_back({clip.weak_from_this(), &bytes});
}

void Timeline::Enter(Clip& clip, int frame) {
    clip.frame = frame;
    const SwfFrame& f = (*clip.frames)[static_cast<std::size_t>(frame)];
    Apply(clip, f, nullptr);
    for (const auto& bytes : f.actions) Queue(clip, bytes);
    events_.OnFrameEntered(clip);
}

void Timeline::Goto(Clip& clip, int frame) {
    if (frame == clip.frame) return;
    if (frame > clip.frame) {
        // Forward: the frames between change the display list without their actions.
        for (int f = clip.frame + 1; f < frame; ++f)
            Apply(clip, (*clip.frames)[static_cast<std::size_t>(f)], nullptr);
        Enter(clip, frame);
        return;
    }
    std::map<std::uint16_t, DisplayObject> old = std::move(clip.display);
    clip.display.clear();
    for (const auto& [depth, o] : old) objects_ -= std::min(objects_, Count(o));
    for (int f = 0; f < frame; ++f) Apply(clip, (*clip.frames)[static_cast<std::size_t>(f)], &old);
    clip.frame = frame;
    const SwfFrame& f = (*clip.frames)[static_cast<std::size_t>(frame)];
    Apply(clip, f, &old);
    for (const auto& bytes : f.actions) Queue(clip, bytes);
    events_.OnFrameEntered(clip);
}

void Timeline::GotoFrame(int frame, bool play) {
    if (!movie_ || root_->FrameCount() == 0) return;
    Goto(*root_, std::clamp(frame, 0, root_->FrameCount() - 1));
    root_->playing = play;
    actionsThisTick_ = 0;
    RunPending();
}

void Timeline::AdvanceClips(Clip& clip) {
    // Children first: a clip placed during this frame has shown its first frame already.
    std::vector<std::shared_ptr<Clip>> children;
    for (auto& [depth, o] : clip.display)
        if (o.clip) children.push_back(o.clip);
    for (const auto& child : children) {
        if (child->playing && child->FrameCount() > 1) {
            const int next = child->frame + 1 < child->FrameCount() ? child->frame + 1 : 0;
            if (next == 0)
                Goto(*child, 0);
            else
                Enter(*child, next);
        }
        AdvanceClips(*child);
    }
}

void Timeline::Tick(bool loop) {
    if (!movie_) return;
    actionsThisTick_ = 0;
    AdvanceClips(*root_);
    Clip& root = *root_;
    if (root.playing && root.FrameCount() > 1) {
        if (root.frame + 1 < root.FrameCount())
            Enter(root, root.frame + 1);
        else if (loop)
            Goto(root, 0);
        else
            root.playing = false;
    }
    RunPending();
}

void Timeline::RunPending() {
    // Actions may go to frames, which queue more; the budget of the tick ends a loop of them.
    std::size_t next = 0;
    while (next < pending_.size() && next < kMaxActionBlocksPerTick &&
           actionsThisTick_ < kMaxActionsPerTick) {
        const Pending p = pending_[next++];
        const std::shared_ptr<Clip> clip = p.clip.lock();
        if (!clip) continue;
        TimelineActions actions(*this, *clip);
        const ActionRun run = RunActions(*p.bytes, movie_->version, actions);
        actionsThisTick_ += std::max<std::size_t>(run.executed, 1);
    }
    pending_.clear();
}

void Timeline::SetVariable(const std::u16string& path, const std::u16string& value) {
    if (!movie_) return;
    TimelineActions actions(*this, *root_);
    actions.SetVariable(path, ActionValue::Of(value));
}

std::u16string Timeline::Variable(const std::u16string& path) const {
    return FieldText(*root_, path);
}

std::u16string Timeline::FieldText(const Clip& clip, const std::u16string& path) const {
    if (!movie_) return {};
    TimelineActions actions(const_cast<Timeline&>(*this), const_cast<Clip&>(clip));
    const ActionValue v = actions.GetVariable(path);
    return v.kind == ActionValue::Undefined ? std::u16string() : v.ToText(movie_->version);
}

void Timeline::SetButtonState(const Clip& clip, std::uint16_t depth, std::uint8_t state) {
    // The clip is one of ours; the pointer came from our own display lists.
    auto& display = const_cast<Clip&>(clip).display;
    const auto it = display.find(depth);
    if (it != display.end()) it->second.buttonState = state;
}

void Timeline::RunButtonActions(const Clip& clip, std::uint16_t depth, std::uint16_t condition) {
    if (!movie_) return;
    Clip& owner = const_cast<Clip&>(clip);
    const auto it = owner.display.find(depth);
    if (it == owner.display.end()) return;
    const auto button = movie_->buttons.find(it->second.characterId);
    if (button == movie_->buttons.end()) return;
    for (const SwfButtonAction& a : button->second.actions)
        if (a.conditions & condition) Queue(owner, a.bytes);
    actionsThisTick_ = 0;
    RunPending();
}
