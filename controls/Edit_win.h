#pragma once
#include <string>

#include "Control_win.h"

// A single-line edit box of the system, without a border of its own.
class TEdit : public TWinControl {
  public:
    // `style`: further edit styles (ES_PASSWORD, ...).
    TEdit(TWinControl* parent, DWORD style);
    // The window goes before its font.
    ~TEdit() override;

    std::wstring Text() const;
    void SetText(const std::wstring& text);
    // `height` as the system's font height: negative for the character height in pixels.
    void SetFont(const wchar_t* face, int height);
    // The character shown for each one typed, in an edit made with ES_PASSWORD.
    void SetPasswordChar(wchar_t c);
    void Focus();

  private:
    UniqueGdi font_;
};
