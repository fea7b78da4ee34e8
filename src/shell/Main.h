// The wizard window: a fixed-size window with a painted background (BG), the
// information panel at the left (RichEdit1) and the page control at the right
// (InsatallPages) holding the wizard's six pages. Creation and the background
// are in Main.cpp, the pages and their handlers in WizardPages.cpp.
#pragma once

#include <memory>
#include <string>

#include "desktop/FontInstall.h"
#include "install/InstallHost.h"
#include "platform/Bitmap32.h"
#include "platform/Controls.h"
#include "platform/Form.h"
#include "platform/GlyphButton.h"
#include "platform/Glyphs.h"

// A paint box with its own 32-bit back buffer (a Static window): the buffer
// always has the control's size, OnResize runs after each change of size, and
// the control shows the buffer as it is.
class TPaintBox32 : public platform::Control {
public:
    TPaintBox32(platform::Form& owner, HWND parent, const std::wstring& name, const platform::Bounds& b);
    platform::Bitmap32& Buffer() { return buffer_; }
    // Repaints the control from the buffer at once.
    void Flush();
    std::function<void(platform::Control& sender)> OnResize;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    platform::Bitmap32 buffer_;
};

// A read-only rich-text box (RICHEDIT50W from msftedit.dll, or RichEdit20W).
class TRichEdit : public platform::Control {
public:
    TRichEdit(platform::Form& owner, HWND parent, const std::wstring& name, const platform::Bounds& b);
    // Replaces the content with an RTF document (EM_STREAMIN, SF_RTF).
    // Raises platform::Exception when the control does not take it.
    void LoadRtf(const void* data, size_t size);
    // The plain text of the content.
    std::wstring PlainText() const;
    void SetBackground(COLORREF color);
    // Keeps width pixels free between the frame and the text on every side.
    void SetInnerBorder(int width);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int innerBorder_ = 0;
};

// Gives edit boxes a visible one-pixel frame in one colour, and in the hot
// colour while the pointer is over the box or it has the focus.
class TRzFrameController {
public:
    COLORREF FrameColor = CLR_INVALID;  // CLR_INVALID: the button-face colour
    COLORREF FrameHotColor = RGB(0, 128, 255);
    void Attach(platform::Control& edit);
};

class TFMain : public platform::Form, public IInstallHost, public IFontSizeChangeUi {
public:
    TFMain();
    ~TFMain() override;

    // Controls directly on the window, in creation order.
    TPaintBox32* BG = nullptr;
    TRichEdit* RichEdit1 = nullptr;
    platform::PageControl* InsatallPages = nullptr;
    TRzFrameController RzFrameController1;

    // The pages, in page order.
    platform::Panel* tsStart = nullptr;
    platform::Panel* tsInputPath = nullptr;
    platform::Panel* tsInputComponents = nullptr;
    platform::Panel* tsProgressInstall = nullptr;
    platform::Panel* tsCancel = nullptr;
    platform::Panel* tsChangeFontSize = nullptr;

    // tsStart
    platform::Memo* MemoStart = nullptr;
    platform::Panel* pnlStartButtons = nullptr;
    platform::GlyphButton* BtnCancel = nullptr;
    platform::GlyphButton* BtnStartNext = nullptr;
    // tsInputPath
    platform::Memo* MemoInputPath = nullptr;
    platform::Panel* PnlPath = nullptr;
    platform::Edit* ePath = nullptr;
    platform::GlyphButton* BtnSelectPath = nullptr;
    platform::Panel* pnlPathButtons = nullptr;
    platform::GlyphButton* BtnCancel2 = nullptr;
    platform::GlyphButton* BtnInputPathNext = nullptr;
    // tsInputComponents
    platform::Memo* MemoInputComponents = nullptr;
    platform::Panel* pnlOptions = nullptr;
    platform::CheckBox* CbDriverInstal = nullptr;
    platform::ComboBox* CBWindows = nullptr;
    platform::Panel* pnlComponentsButtons = nullptr;
    platform::GlyphButton* BtnCancel4 = nullptr;
    platform::GlyphButton* BtnInputComponentsBack = nullptr;
    platform::GlyphButton* BtnInsatall = nullptr;
    // tsProgressInstall
    platform::ListBox* LogList = nullptr;
    platform::Panel* pnlProgressButtons = nullptr;
    platform::GlyphButton* BtnExit = nullptr;
    // tsCancel
    platform::Memo* MemoCancel = nullptr;
    platform::Panel* pnlCancelButtons = nullptr;
    platform::GlyphButton* BtnExitCancel = nullptr;
    // tsChangeFontSize
    platform::Memo* MemoChangeFontSize = nullptr;
    platform::Panel* pnlFontButtons = nullptr;
    platform::GlyphButton* BtnChangeFont = nullptr;
    platform::GlyphButton* BtnExitOnChangefont = nullptr;

    // Event handlers, bound by name.
    void FormCreate();
    bool FormCloseQuery();
    void BGResize(platform::Control& Sender);
    void BtnStartNextClick(platform::Control& Sender);
    void BtnSelectPathClick(platform::Control& Sender);
    void BtnInputPathNextClick(platform::Control& Sender);
    void tsInputComponentsShow(platform::Control& Sender);
    void BtnInputComponentsBackClick(platform::Control& Sender);
    void BtnInsatallClick(platform::Control& Sender);
    void BtnCancelClick(platform::Control& Sender);
    void BtnExitClick(platform::Control& Sender);
    void BtnChangeFontClick(platform::Control& Sender);

    // The distribution folder, set by the installation sequence.
    std::wstring Fcopyfrom;

    // IInstallHost: what the installation sequence needs from the wizard.
    std::wstring DestinationText() const override;
    bool DriverChecked() const override;
    int WindowsIndex() const override;
    bool SecondBrand() const override;
    std::wstring InstallerFolder() const override;
    void SetCopyFrom(const std::wstring& folder) override;
    void ResetLog() override;
    int AddLogLine(const std::wstring& text) override;
    void SetLogLine(int index, const std::wstring& text) override;
    void RepaintLog() override;
    void Pump() override;
    void ErrorBox(const std::wstring& text) override;
    bool ConfirmBox(const std::wstring& text) override;
    void SetCanClose(bool canClose) override;
    void SetHourglass(bool busy) override;
    void ShowPage(InstallPage page) override;
    void EnableExit() override;
    void CloseWindow() override;  // also for the display-size change

    // IFontSizeChangeUi: the restart question of the display-size page.
    bool AskYesNoWarning(const std::wstring& text) override;

    bool CanClose() const { return FCanClose; }
    // Enter and Esc follow the active page.
    HWND DefaultButton() const override;
    HWND CancelButton() const override;

protected:
    void OnCreate() override { FormCreate(); }
    bool OnCloseQuery() override { return FormCloseQuery(); }

private:
    void CreatePages();
    // Shows a page by name and keeps the keyboard focus on a visible control.
    void ShowWizardPage(const wchar_t* name);
    platform::GlyphButton& AddPageButton(platform::Panel& strip, const wchar_t* name, const wchar_t* caption,
                                         int width, int height, int normalGlyph, int disabledGlyph);

    std::unique_ptr<platform::Bitmap32> BG_bmp;
    std::unique_ptr<platform::Bitmap32> Panels_bmp;
    std::unique_ptr<platform::Bitmap32> Logo_bmp;
    std::unique_ptr<platform::Bitmap32> Title_pnl_l_bmp;
    std::unique_ptr<platform::Bitmap32> Title_pnl_r_bmp;
    std::unique_ptr<platform::Bitmap32> Title_pnl_m_bmp;
    std::unique_ptr<platform::Bitmap32> Title_bmp;
    bool FCanClose = false;
    std::wstring AppNameStr;

    std::unique_ptr<platform::GlyphList> pageGlyphs_;
};

extern TFMain* FMain;
// Whether string 1 of the string table is the second brand name; set by FormCreate.
extern bool IsSecondBrand;

// Whether a suite name is the second brand "Кестрон", in any letter case
// (upper-cased with the locale's rules, Cyrillic included).
bool IsSecondBrandName(const std::wstring& suiteName);

// The destination check of the path page, without the window.
struct DestinationCheck {
    enum class Outcome { Empty, Root, Accepted };
    Outcome outcome;
    // Empty: unchanged. Root: the trimmed path with "\" appended. Accepted: the
    // full path (relative names resolved against the current directory, "/"
    // read as "\"), ending in "\".
    std::wstring path;
};
DestinationCheck CheckDestination(const std::wstring& text);
// Creates the destination folder and its Settings sub-folder, one level each;
// outcomes are ignored.
void PrepareDestination(const std::wstring& path);
// Leading and trailing blanks and control characters removed.
std::wstring TrimBlanks(const std::wstring& s);
