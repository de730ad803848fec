#include "SHDocVw_Zam.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What the binding hands to a handler in these tests: which field ran, and a var parameter.
struct Args {
    std::vector<std::size_t> ran;
    bool cancel = false;
};

TEST(EWBEvents, EachDispatchIdReachesItsField) {
    const struct {
        const char* field;
        std::int32_t dispId;
    } table[] = {
        {"OnStatusTextChange", 102},
        {"OnProgressChange", 108},
        {"OnCommandStateChange", 105},
        {"OnDownloadBegin", 106},
        {"OnDownloadComplete", 104},
        {"OnTitleChange", 113},
        {"OnPropertyChange", 112},
        {"OnBeforeNavigate2", 250},
        {"OnNewWindow2", 251},
        {"OnNavigateComplete2", 252},
        {"OnDocumentComplete", 259},
        {"OnQuit", 253},
        {"OnVisible", 254},
        {"OnToolBar", 255},
        {"OnMenuBar", 256},
        {"OnStatusBar", 257},
        {"OnFullScreen", 258},
        {"OnTheaterMode", 260},
        {"OnAddressBar", 261},
        {"OnWindowSetResizable", 262},
        {"OnWindowSetLeft", 264},
        {"OnWindowSetTop", 265},
        {"OnWindowSetWidth", 266},
        {"OnWindowSetHeight", 267},
        {"OnWindowClosing", 263},
        {"OnClientToHostWindow", 268},
        {"OnSetSecureLockIcon", 269},
        {"OnFileDownload", 270},
        {"OnNavigateError", 271},
        {"OnPrintTemplateInstantiation", 225},
        {"OnPrintTemplateTeardown", 226},
        {"OnUpdatePageStatus", 227},
        {"OnPrivacyImpactedStateChange", 272},
        {"OnNewWindow3", 273},
    };
    static_assert(std::size(table) == kEWBEventCount);

    TEWBEventFields<Args> fields;
    for (std::size_t i = 0; i < kEWBEventCount; ++i)
        fields[static_cast<EWBEvent>(i)] = [i](Args& a) { a.ran.push_back(i); };

    for (std::size_t i = 0; i < kEWBEventCount; ++i) {
        SCOPED_TRACE(table[i].field);
        EXPECT_EQ(std::string(kEWBEvents[i].field), table[i].field);
        EXPECT_EQ(static_cast<std::size_t>(kEWBEvents[i].event), i);
        Args args;
        EXPECT_TRUE(fields.Raise(table[i].dispId, args));
        EXPECT_EQ(args.ran, std::vector<std::size_t>{i});
    }
}

TEST(EWBEvents, UnsetFieldsAndUnknownIdsDropTheEvent) {
    TEWBEventFields<Args> fields;
    Args args;
    for (std::size_t i = 0; i < kEWBEventCount; ++i)
        EXPECT_FALSE(fields.Raise(kEWBEvents[i].dispId, args)) << kEWBEvents[i].field;

    fields[EWBEvent::DocumentComplete] = [](Args& a) { a.ran.push_back(1); };
    EXPECT_FALSE(fields.Raise(271, args));  // NavigateError has no handler
    EXPECT_TRUE(fields.Raise(259, args));
    EXPECT_EQ(args.ran, std::vector<std::size_t>{1});

    for (std::size_t i = 0; i < kEWBEventCount; ++i)
        fields[static_cast<EWBEvent>(i)] = [](Args& a) { a.ran.push_back(99); };
    // Ids of the control's methods and properties, and neighbours of the event ids, are no events.
    for (std::int32_t id : {0, -1, 101, 103, 200, 203, 224, 228, 249, 274, 402})
        EXPECT_FALSE(fields.Raise(id, args)) << id;
    EXPECT_EQ(args.ran, std::vector<std::size_t>{1});
}

TEST(EWBEvents, AppendedHandlersRunInTheirOrderOnTheSameArguments) {
    TEWBEventFields<Args> fields;
    std::vector<std::string> order;
    fields.Append(EWBEvent::NavigateError, [&](Args& a) {
        order.push_back("site pages");
        a.cancel = true;
    });
    fields.Append(EWBEvent::NavigateError, [&](Args& a) {
        order.push_back(a.cancel ? "window after cancel" : "window before cancel");
    });
    Args args;
    ASSERT_TRUE(fields.Raise(271, args));
    EXPECT_EQ(order, (std::vector<std::string>{"site pages", "window after cancel"}));
    EXPECT_TRUE(args.cancel);
}

TEST(EWBEvents, TheTableGivesTheArgumentPositionsTheHandlersUse) {
    // Where the binding finds what the main window's handlers use: the dispatch arguments come
    // last parameter first.
    const EWBEventDef& error = *FindEWBEvent(271);
    ASSERT_EQ(error.paramCount, 5u);
    EXPECT_STREQ(error.params[4].name, "Cancel");
    EXPECT_TRUE(error.params[4].var);
    EXPECT_EQ(error.params[4].type, EWBType::WordBool);
    EXPECT_EQ(DispArgIndex(error, 4), 0u);
    EXPECT_EQ(DispArgIndex(error, 0), 4u);

    const EWBEventDef& complete = *FindEWBEvent(259);
    ASSERT_EQ(complete.paramCount, 2u);
    EXPECT_EQ(complete.params[0].type, EWBType::Dispatch);
    EXPECT_TRUE(complete.params[1].var);
    EXPECT_EQ(DispArgIndex(complete, 1), 0u);

    for (const auto& def : kEWBEvents) {
        EXPECT_EQ(def.paramCount == 0, std::string(def.type).empty()) << def.field;
        for (std::size_t p = 0; p < def.params.size(); ++p)
            EXPECT_EQ(def.params[p].name != nullptr, p < def.paramCount) << def.field << " " << p;
    }
}

TEST(EWBProperties, ByName) {
    const struct {
        const char* name;
        std::int32_t dispId;
        EWBType type;
    } cases[] = {{"Visible", 402, EWBType::WordBool},   {"StatusText", 404, EWBType::WideString},
                 {"ToolBar", 405, EWBType::Integer},    {"Silent", 551, EWBType::WordBool},
                 {"Resizable", 556, EWBType::WordBool}, {"Document", 203, EWBType::Dispatch}};
    for (const auto& c : cases) {
        const EWBPropertyDef* p = FindEWBProperty(c.name);
        ASSERT_NE(p, nullptr) << c.name;
        EXPECT_EQ(p->dispId, c.dispId) << c.name;
        EXPECT_EQ(p->type, c.type) << c.name;
    }
    EXPECT_FALSE(FindEWBProperty("Document")->writable);
    EXPECT_EQ(FindEWBProperty("visible"), nullptr);
    EXPECT_EQ(FindEWBProperty("LocationURL"), nullptr);
}

}  // namespace
