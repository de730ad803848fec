#include "Actions.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Records what the actions asked for, as "call(args)" lines.
class FakeHost : public ActionHost {
  public:
    std::vector<std::string> calls;
    std::map<std::u16string, ActionValue> variables;
    std::u16string target;
    bool knowsMethods = true;

    void SetTarget(const std::u16string& path) override {
        target = path;
        if (!path.empty()) calls.push_back("target(" + Narrow(path) + ")");
    }
    void Stop() override { calls.push_back("stop" + At()); }
    void Play() override { calls.push_back("play" + At()); }
    void NextFrame() override { calls.push_back("next" + At()); }
    void PrevFrame() override { calls.push_back("prev" + At()); }
    void GotoFrame(int frame, bool play) override {
        calls.push_back("goto(" + std::to_string(frame) + (play ? ",play)" : ")") + At());
    }
    void GotoLabel(const std::u16string& label, bool play) override {
        calls.push_back("label(" + Narrow(label) + (play ? ",play)" : ")") + At());
    }
    void GetUrl(const std::u16string& url, const std::u16string& t) override {
        calls.push_back("url(" + Narrow(url) + "," + Narrow(t) + ")");
    }
    ActionValue GetVariable(const std::u16string& path) override {
        if (path == u"_root") return ActionValue::ClipAt(u"_root");
        const auto it = variables.find(path);
        return it != variables.end() ? it->second : ActionValue{};
    }
    void SetVariable(const std::u16string& path, const ActionValue& value) override {
        variables[path] = value;
    }
    ActionValue GetProperty(const std::u16string& t, int index) override {
        calls.push_back("get(" + Narrow(t) + "," + std::to_string(index) + ")");
        return ActionValue::Of(7.0);
    }
    void SetProperty(const std::u16string& t, int index, const ActionValue& value) override {
        calls.push_back("set(" + Narrow(t) + "," + std::to_string(index) + "," +
                        Narrow(value.ToText(8)) + ")");
    }
    bool CallClipMethod(const std::u16string& t, const std::u16string& method,
                        const std::vector<ActionValue>& args) override {
        std::string line = "call(" + Narrow(t) + "." + Narrow(method);
        for (const ActionValue& a : args) line += "," + Narrow(a.ToText(8));
        calls.push_back(line + ")");
        return knowsMethods;
    }

    std::string Text(const std::u16string& name) const {
        const auto it = variables.find(name);
        return it == variables.end() ? "(none)" : Narrow(it->second.ToText(8));
    }

  private:
    std::string At() const { return target.empty() ? "" : "@" + Narrow(target); }
    static std::string Narrow(const std::u16string& s) {
        std::string out;
        for (char16_t c : s) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        return out;
    }
};

// Action records.
Bytes Op(std::uint8_t code) {
    return {code};
}
Bytes Op(std::uint8_t code, const Bytes& body) {
    Bytes b{code, static_cast<std::uint8_t>(body.size()),
            static_cast<std::uint8_t>(body.size() >> 8)};
    b.insert(b.end(), body.begin(), body.end());
    return b;
}
Bytes Str(const std::string& s) {
    Bytes b(s.begin(), s.end());
    b.push_back(0);
    return b;
}
Bytes PushString(const std::string& s) {
    Bytes body{0};
    const Bytes t = Str(s);
    body.insert(body.end(), t.begin(), t.end());
    return Op(0x96, body);
}
Bytes PushInt(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return Op(0x96, {7, static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                     static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)});
}
Bytes Branch(std::uint8_t code, std::int16_t offset) {
    const auto u = static_cast<std::uint16_t>(offset);
    return Op(code, {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8)});
}
Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    out.push_back(0);
    return out;
}

ActionRun Exec(FakeHost& host, const Bytes& code, int version = 8) {
    return RunActions(code, version, host);
}

}  // namespace

TEST(Actions, TimelineControlAndUrls) {
    FakeHost host;
    const Bytes code =
        Join({Op(0x07), Op(0x06), Op(0x04), Op(0x05), Op(0x81, {4, 0}),  // go to frame 5
              Op(0x8C, Str("intro")),                                    // go to a label
              Op(0x83,
                 [] {
                     Bytes b = Str("FSCommand:kefoend");
                     const Bytes t = Str("now");
                     b.insert(b.end(), t.begin(), t.end());
                     return b;
                 }()),
              Op(0x8B, Str("/ball")), Op(0x07), Op(0x8B, Str("")), Op(0x06)});
    const ActionRun run = Exec(host, code);
    EXPECT_FALSE(run.unknown);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"stop", "play", "next", "prev", "goto(4)",
                                                    "label(intro)", "url(FSCommand:kefoend,now)",
                                                    "target(/ball)", "stop@/ball", "play"}));
}

TEST(Actions, GotoFrame2TakesNumbersLabelsAndTargets) {
    FakeHost host;
    const Bytes code = Join({PushInt(3), Op(0x9F, {1}),              // play from frame 3
                             PushString("end"), Op(0x9F, {0}),       // a label
                             PushString("2"), Op(0x9F, {2, 10, 0}),  // with a scene bias
                             PushString("/clip:4"), Op(0x9F, {0})});
    Exec(host, code);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"goto(2,play)", "label(end)", "goto(11)",
                                                    "target(/clip)", "goto(3)@/clip"}));
}

TEST(Actions, VariablesArithmeticAndStrings) {
    FakeHost host;
    host.variables[u"count"] = ActionValue::Of(u"4");
    const Bytes code = Join({
        PushString("sum"),
        PushString("count"),
        Op(0x1C),
        PushInt(3),
        Op(0x47),
        Op(0x1D),
        PushString("joined"),
        PushString("a"),
        PushInt(1),
        Op(0x47),
        Op(0x1D),  // "a" + 1
        PushString("q"),
        PushInt(7),
        PushInt(2),
        Op(0x0D),
        Op(0x1D),
        PushString("m"),
        PushInt(7),
        PushInt(3),
        Op(0x3F),
        Op(0x1D),
        PushString("cat"),
        PushString("ab"),
        PushString("cd"),
        Op(0x21),
        Op(0x1D),
        PushString("less"),
        PushInt(2),
        PushInt(5),
        Op(0x48),
        Op(0x1D),
        PushString("eq"),
        PushString("5"),
        PushInt(5),
        Op(0x49),
        Op(0x1D),
        PushString("not"),
        PushInt(0),
        Op(0x12),
        Op(0x1D),
        PushString("inc"),
        PushString("count"),
        Op(0x1C),
        Op(0x50),
        Op(0x1D),
        PushString("shift"),
        PushInt(-8),
        PushInt(1),
        Op(0x64),
        Op(0x1D),
    });
    EXPECT_FALSE(Exec(host, code).unknown);
    EXPECT_EQ(host.Text(u"sum"), "43") << "a string and a number join in Add2";
    EXPECT_EQ(host.Text(u"joined"), "a1");
    EXPECT_EQ(host.Text(u"q"), "3.5");
    EXPECT_EQ(host.Text(u"m"), "1");
    EXPECT_EQ(host.Text(u"cat"), "abcd");
    EXPECT_EQ(host.Text(u"less"), "true");
    EXPECT_EQ(host.Text(u"eq"), "true");
    EXPECT_EQ(host.Text(u"not"), "true");
    EXPECT_EQ(host.Text(u"inc"), "5");
    EXPECT_EQ(host.Text(u"shift"), "-4");

    // SWF 4 arithmetic is numeric, and its comparisons answer with numbers.
    FakeHost old;
    Exec(old,
         Join({PushString("v"), PushString("2"), PushString("3"), Op(0x0A), Op(0x1D),
               PushString("e"), PushInt(2), PushInt(2), Op(0x0E), Op(0x1D)}),
         4);
    EXPECT_EQ(old.Text(u"v"), "5");
    EXPECT_EQ(old.Text(u"e"), "1");
}

TEST(Actions, ConstantPoolRegistersAndStackOperations) {
    FakeHost host;
    Bytes pool{2, 0};
    for (const char* s : {"name", "value"}) {
        const Bytes t = Str(s);
        pool.insert(pool.end(), t.begin(), t.end());
    }
    const Bytes code = Join({Op(0x88, pool), Op(0x96, {8, 0, 8, 1}),  // constants 0 and 1
                             Op(0x1D),                                // name = "value"
                             PushInt(9), Op(0x87, {1}), Op(0x17), PushString("r"), Op(0x96, {4, 1}),
                             Op(0x1D), PushString("d"), PushInt(6), Op(0x4C), Op(0x0C), Op(0x1D),
                             PushInt(1), PushString("s"), Op(0x4D), Op(0x1D)});
    EXPECT_FALSE(Exec(host, code).unknown);
    EXPECT_EQ(host.Text(u"name"), "value");
    EXPECT_EQ(host.Text(u"r"), "9");
    EXPECT_EQ(host.Text(u"d"), "36");
    EXPECT_EQ(host.Text(u"s"), "1");
}

TEST(Actions, BranchesAndLoops) {
    FakeHost host;
    // i = 0; while (i < 5) i++; then stop when i == 5.
    const Bytes init = Join({PushString("i"), PushInt(0), Op(0x1D)});
    const Bytes body = [] {
        Bytes b = PushString("i");
        for (const Bytes& p : {PushString("i"), Op(0x1C), Op(0x50), Op(0x1D)})
            b.insert(b.end(), p.begin(), p.end());
        return b;
    }();
    const Bytes test = [] {
        Bytes b = PushString("i");
        for (const Bytes& p : {Op(0x1C), PushInt(5), Op(0x48), Op(0x12)})
            b.insert(b.end(), p.begin(), p.end());
        return b;
    }();
    // test; if !(i<5) skip body and jump back; body; jump to test
    Bytes loop = test;
    const Bytes jumpBack = Branch(0x99, 0);
    const auto bodyAndJump = static_cast<std::int16_t>(body.size() + jumpBack.size());
    const Bytes exit = Branch(0x9D, bodyAndJump);
    loop.insert(loop.end(), exit.begin(), exit.end());
    loop.insert(loop.end(), body.begin(), body.end());
    const auto back = static_cast<std::int16_t>(-static_cast<int>(loop.size() + jumpBack.size()));
    const Bytes jump = Branch(0x99, back);
    loop.insert(loop.end(), jump.begin(), jump.end());
    Bytes code(init.begin(), init.end() - 1);
    code.insert(code.end(), loop.begin(), loop.end());
    for (const Bytes& p : {Op(0x07)}) code.insert(code.end(), p.begin(), p.end());
    code.push_back(0);
    const ActionRun run = Exec(host, code);
    EXPECT_FALSE(run.capped);
    EXPECT_EQ(host.Text(u"i"), "5");
    EXPECT_EQ(host.calls, std::vector<std::string>{"stop"});
}

TEST(Actions, ClipPropertiesAndMethods) {
    FakeHost host;
    const Bytes code =
        Join({PushString("/ball"), PushInt(0), Op(0x22), Op(0x17),  // get _x
              PushString("/ball"), PushInt(6), PushInt(50), Op(0x23),
              // _root.gotoAndPlay(3)
              PushInt(3), PushInt(1), PushString("_root"), Op(0x1C), PushString("gotoAndPlay"),
              Op(0x52), Op(0x17),
              // _root._x = 12
              PushString("_root"), Op(0x1C), PushString("_x"), PushInt(12), Op(0x4F)});
    EXPECT_FALSE(Exec(host, code).unknown);
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"get(/ball,0)", "set(/ball,6,50)",
                                        "call(_root.gotoAndPlay,3)", "set(_root,0,12)"}));
}

TEST(Actions, WhatItDoesNotKnowEndsTheBlockQuietly) {
    const struct {
        const char* what;
        Bytes code;
        std::vector<std::string> calls;
    } cases[] = {
        {"an unknown action", Join({Op(0x07), Op(0x9B, {1, 2, 3}), Op(0x06)}), {"stop"}},
        {"a record past the end", Bytes{0x07, 0x83, 0x40, 0x00, 'F'}, {"stop"}},
        {"a jump out of the block", Join({Branch(0x99, 1000), Op(0x07)}), {}},
        {"a method of no clip",
         Join({PushInt(0), PushInt(0), PushString("m"), Op(0x52), Op(0x07)}),
         {}},
        {"pops of an empty stack", Join({Op(0x17), Op(0x0A), Op(0x1D), Op(0x07)}), {"stop"}},
    };
    for (const auto& c : cases) {
        FakeHost host;
        Exec(host, c.code);
        EXPECT_EQ(host.calls, c.calls) << c.what;
    }
}

TEST(Actions, ABlockThatLoopsForeverEndsAtTheCap) {
    FakeHost host;
    const Bytes forever = Join({Op(0x04), Branch(0x99, -6)});
    const ActionRun run = Exec(host, forever);
    EXPECT_TRUE(run.capped);
    EXPECT_EQ(run.executed, kMaxActionsPerBlock);

    // A loop that doubles a string and pushes copies stays within its memory.
    FakeHost grow;
    const Bytes doubling = Join({PushString("ab"), Op(0x4C), Op(0x4C), Op(0x21), Branch(0x99, -8)});
    EXPECT_TRUE(Exec(grow, doubling).capped);
}
