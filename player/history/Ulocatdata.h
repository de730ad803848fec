#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "HistoryTable.h"

// The file and the cache as the history store uses them. Paths are bytes of the ANSI code page.
class HistoryFiles {
  public:
    virtual ~HistoryFiles() = default;
    virtual bool Exists(const std::string& path) = 0;
    // The whole file; false when it cannot be read.
    virtual bool Read(const std::string& path, std::string& bytes) = 0;
    // Writes a new file beside `path` and moves it over `path`, so that a crash leaves either the
    // old file or the new one whole; false when that fails, with the old file as it was.
    virtual bool WriteReplacing(const std::string& path, const std::string& bytes) = 0;
    // Deletes a cached episode; a file that is not there or cannot go is no error here.
    virtual void Delete(const std::string& path) = 0;
};

// The store's file on the system's files, written atomically.
class SystemHistoryFiles : public HistoryFiles {
  public:
    bool Exists(const std::string& path) override;
    bool Read(const std::string& path, std::string& bytes) override;
    bool WriteReplacing(const std::string& path, const std::string& bytes) override;
    void Delete(const std::string& path) override;
};

// What the store asks of the rest of the player.
class HistoryHost {
  public:
    virtual ~HistoryHost() = default;
    // A question with the buttons Yes and No; texts are UTF-8. True for Yes.
    virtual bool Ask(const std::string& text, const std::string& caption) = 0;
    // The title label of the play bar.
    virtual void SetTitle(const std::string& title) = 0;
    // Plays a cached episode on its own, changing no series; false when it is not cached.
    virtual bool ReplayCached(const std::string& id, std::int32_t episode) = 0;
    // The rows or the current row changed: the grid shows them again.
    virtual void RowsChanged() = 0;
};

// The play history (`Tcdsdata`): one row per series and episode that the player fetched, in the
// order they were added, with a current row for the grid; kept in ProgramDir + "web\Local.dat".
// Every change is written to the file at once, atomically, so that a finished change survives any
// later crash; a file that cannot be read leaves the store closed and is never written over.
class Tcdsdata {
  public:
    enum class State { Closed, Open, OpenWithoutFile };

    // Opens the file, writing an empty one at once when there is none.
    Tcdsdata(const std::string& programDir, const std::string& cacheDir, HistoryFiles& files,
             HistoryHost& host);

    State GetState() const { return state_; }
    bool Open() const { return state_ != State::Closed; }
    const std::string& FileName() const { return fileName_; }
    const std::vector<HistoryRow>& Rows() const { return rows_; }
    // The current row, or -1 when there is none.
    int Current() const { return current_; }
    void SetCurrent(int row);
    // The grid's wheel: the next or the previous row, staying at either end.
    void Next();
    void Prior();

    // Adds a row for an episode at the end, unless the table has the series and episode
    // already. The numbers come as decimal text (empty: no value). True when an error was caught
    // (a number that is no whole number, a change that could not be written).
    bool AddHistory(const std::string& id, const std::string& name, const std::string& types,
                    const std::string& episode);
    // Plays the current row's episode from the cache, with its name and number as the title.
    void PlayHistory();
    // Deletes the current row and its cached episode.
    void DelHistory();
    // Asks, then deletes every row and every row's cached episode.
    void DelAllHistory();
    // Deletes the current row only, its cached episode stays (the grid's Ctrl+Delete).
    void DeleteCurrentRow();

  private:
    bool Save();
    void EraseCurrent(bool withCacheFile);
    std::string CacheFileOf(const HistoryRow& row) const;

    std::string fileName_;
    std::string cacheDir_;
    HistoryFiles& files_;
    HistoryHost& host_;
    State state_ = State::Closed;
    std::vector<HistoryRow> rows_;
    int current_ = -1;
};

// `text` cut to at most `size` bytes, before a double-byte character that would not fit whole.
std::string CutToField(const std::string& text, std::size_t size);
