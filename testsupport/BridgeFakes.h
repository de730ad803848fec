#pragma once
// A stand-in of everything the script bridge drives, for its tests: each call becomes a line.
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "ScriptBridge.h"

// Records every call of the ports as one line, in order.
struct BridgeRecorder : SeriesPlayer, MemberView, AvatarPicture, SettingsFile, LockState {
    std::vector<std::string> calls;
    bool locked = false;
    bool emptyPlayList = false;
    bool refuseWrites = false;
    bool downloads = true;
    std::set<Format> decodable;  // what the downloaded picture really is
    std::string path = "C:\\V\\Variz.dat";
    std::map<std::string, std::string> values;

    void SetTitle(const std::string& t) override { calls.push_back("title " + t); }
    void StartSeries() override {
        calls.push_back("start");
        if (emptyPlayList) throw ListIndexError(0);
    }
    void EnableMemberButtons() override { calls.push_back("buttons"); }
    void ShowMember(const std::string& name, const std::string& level) override {
        calls.push_back("member " + name + " " + level);
    }
    bool Download(const std::string& a, const std::string& f) override {
        calls.push_back("download " + a + " " + f);
        return downloads;
    }
    bool Show(const std::string& f, Format format) override {
        calls.push_back("show " + f);
        return decodable.count(format) != 0;
    }
    void Delete(const std::string& f) override { calls.push_back("delete " + f); }
    void Rename(const std::string& a, const std::string& b) override {
        calls.push_back("rename " + a + " " + b);
    }
    std::string Read(const std::string&, const std::string&,
                     const std::string& def) const override {
        return def;
    }
    bool Write(const std::string& s, const std::string& k, const std::string& v) override {
        calls.push_back("write " + s + "/" + k + "=" + v);
        if (refuseWrites) return false;
        values[s + "/" + k] = v;
        return true;
    }
    const std::string& Path() const override { return path; }
    bool Locked() const override { return locked; }
};
