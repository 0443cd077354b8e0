// The chat tools window: Glimra's floating panel for chat fading. It switches
// fading on and off, sets the colour count, the colours, the four styles and
// the solid mode, shows the live preview strip and manages the named fade
// schemes. Every change goes to LiveFadeSettings() and the settings tree at
// once. The window stays loaded (hidden) for the whole run.
//
// The chat-room attachment lives in its own file (ChatInterception.cpp) and
// reaches the window through ChatToolsExtensions(): install the hooks before
// the window loads; the window then calls
//   attach(form)  at load, where the AOL main window is to be watched (after
//                 the window is coloured, before its state is read); make the
//                 three SubClass controls here and attach sbcMenu to AOLFrame;
//   timer(form)   on every Timer1 tick (1000 ms, from load to unload);
//   unload(form)  when the window unloads, before its controls go.
// The three SubClass controls are the public members sbcChatEdit,
// sbcSendIcon and sbcMenu; the window owns them and releases them after
// unload(form).
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/modFade.h"
#include "runtime/Conversions.h"
#include "runtime/FormWindow.h"
#include "runtime/SubClassing.h"

namespace glimra {

class frmChatTools;

struct ChatToolsHooks {
  std::function<void(frmChatTools&)> attach;
  std::function<void(frmChatTools&)> timer;
  std::function<void(frmChatTools&)> unload;
};
ChatToolsHooks& ChatToolsExtensions();

class frmChatTools : public FormWindow {
 public:
  // Control ids.
  enum : UINT {
    kOptOn = 101,
    kOptOff = 102,
    kOpt1Fade = 111,   // .. 116
    kCmdColor1 = 121,  // .. 126
    kOptWavy = 131,
    kOptBold = 132,
    kOptItalic = 133,
    kOptULine = 134,
    kChkSolid = 140,
    kPicPreview = 141,
    kCboSchemes = 142,
    kCmdSave = 151,
    kCmdDel = 152,
    kCmdRefresh = 153,
    kCmdEmail = 154,
    kCmdMin = 161,
    kCmdExit = 162,
    kTimer1 = 1,
  };
  static constexpr int kMaxHeight = 990;
  static constexpr int kMinHeight = 705;
  static constexpr int kClientWidth = 6780;
  static constexpr char kCaption[] = "Glimra Chat Tools";

  frmChatTools();

  // Window state.
  std::int16_t ColorCount = 2;
  VBBool IsLoading = kFalse;
  // Set while the window is rebuilt for new colours: its load selects the
  // current scheme's entry without loading the scheme into the live fade.
  bool KeepLiveFade = false;

  // Public operations.
  void GetSchemes();
  void SetOptState();
  void FadeNumber();
  void FadeOn() { optOn_Click(); }
  void FadeOff() { optOff_Click(); }
  void Fade1Preview(Colour c1);
  void Fade2Preview(Colour c1, Colour c2);
  void Fade3Preview(Colour c1, Colour c2, Colour c3);
  void Fade4Preview(Colour c1, Colour c2, Colour c3, Colour c4);
  void Fade5Preview(Colour c1, Colour c2, Colour c3, Colour c4, Colour c5);
  void Fade6Preview(Colour c1, Colour c2, Colour c3, Colour c4, Colour c5, Colour c6);
  // Redraws picPreview now (its paint handler).
  void RefreshPreview();

  // Controls.
  HostedControl& Button(UINT id) { return *Control(id); }
  HWND cmdColor(int k) const { return colourButtons_[static_cast<std::size_t>(k)]; }
  Colour ColorButtonBack(int k) const { return colourBacks_[static_cast<std::size_t>(k)]; }
  HWND chkSolid() const { return chkSolid_; }
  HWND picPreview() const { return picPreview_; }
  HWND cboSchemes() const { return cboSchemes_; }
  std::string SchemeText() const;
  bool Line1Visible() const { return line1Visible_; }
  std::string MinToolTip() const { return minToolTip_; }
  std::unique_ptr<SubClassControl> sbcChatEdit, sbcSendIcon, sbcMenu;

  // Event handlers.
  void optOn_Click();
  void optOff_Click();
  void optFade_Click(int n);
  void cmdColor_Click(int k);
  void optStyle_Click(UINT id);
  void chkSolid_Click();
  void cboSchemes_Click();
  void cmdSave_Click();
  void cmdDel_Click();
  void cmdRefresh_Click();
  void cmdEmail_Click();
  void cmdMin_Click();
  void cmdExit_Click() { Hide(); }
  void picPreview_MouseDown();

 protected:
  DWORD WindowStyle() const override { return WS_POPUP | WS_CLIPCHILDREN; }
  DWORD WindowExStyle() const override { return WS_EX_TOOLWINDOW; }
  void OnLoad() override;
  void OnUnload() override;
  void OnCommand(UINT id, UINT code, HWND control) override;
  void OnTimer(UINT id) override;
  void OnPaint(HDC dc) override;
  bool OnMessage(UINT message, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void AddControls();
  void RunLoadSteps();
  void SetColorButton(int k, Colour colour);
  void DrawTitleButtonPictures();
  void FocusBack();
  void SelectScheme(const std::string& name, bool exactly = false);
  void SetExpanded(bool expanded);
  bool loadRunning_ = false;  // ticks wait until the window is complete
  void SaveScheme(const std::string& name);
  void DrawPreview(HDC dc);
  static LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wp, LPARAM lp);

  std::array<HWND, 7> colourButtons_{};
  std::array<Colour, 7> colourBacks_{};
  HWND chkSolid_ = nullptr, picPreview_ = nullptr, cboSchemes_ = nullptr, toolTip_ = nullptr;
  bool line1Visible_ = false;
  std::string minToolTip_;
};

// The one chat tools window of the run.
frmChatTools& ChatTools();

}  // namespace glimra
