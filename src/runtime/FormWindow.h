// The window runtime every Glimra window is built on: a form is a class over
// a real top-level window with geometry in twips, Load / Show / Hide /
// Unload, hosted ZolBtns buttons, timers, and its place in the forms
// collection from load to unload.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/Forms.h"

struct IDispatch;

namespace glimra {

using Colour = std::int32_t;

// Twips per pixel of the screen (15 at 96 dots per inch).
int TwipsPerPixelX();
int TwipsPerPixelY();
int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);
int PixelsToTwipsX(int pixels);
int PixelsToTwipsY(int pixels);

// Registers one of this program's window classes; a class already
// registered is left as it is.
void RegisterWindowClass(const char* className, WNDPROC procedure, LPCSTR cursor = IDC_ARROW, UINT style = 0);

// A colour value to draw with: 0x800000nn is system colour nn.
COLORREF ResolveColour(Colour colour);

struct TwipRect {
  int left, top, width, height;
};

class ControlSite;

// A control hosted by programmatic identifier and driven by name through
// its automation interface. On a form it sits in a control site of the
// form's own (in-place activation, ambient properties, its events).
class HostedControl {
 public:
  HostedControl(IDispatch* dispatch, HWND window, UINT id);
  ~HostedControl();
  HostedControl(const HostedControl&) = delete;
  HostedControl& operator=(const HostedControl&) = delete;

  HWND Window() const { return window_; }
  UINT Id() const { return id_; }
  void SetLong(const wchar_t* name, long value);
  void SetText(const wchar_t* name, const std::string& value);
  void SetBool(const wchar_t* name, bool value);
  // A picture property from a bitmap; the picture takes the bitmap over.
  void SetPicture(const wchar_t* name, HBITMAP bitmap);
  long GetLong(const wchar_t* name) const;
  std::string GetText(const wchar_t* name) const;
  bool GetBool(const wchar_t* name) const;
  void Call(const wchar_t* method);

 private:
  friend class FormWindow;
  IDispatch* dispatch_;
  HWND window_;
  UINT id_;
  ControlSite* site_ = nullptr;
};

class FormWindow : public Form {
 public:
  FormWindow(std::string name, int clientWidthTwips, int clientHeightTwips);
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  std::string Name() const override { return name_; }
  HWND hWnd() const { return window_; }
  bool IsLoaded() const { return window_ != nullptr; }

  // Creates the window (hidden) and runs the load handler.
  void Load();
  // Loads when needed and shows the window; modal shows disable the other
  // forms and return once the window is hidden or unloaded.
  void Show(bool modal = false);
  void Hide();
  bool Visible() const;
  // Runs the unload handler, destroys the window and leaves the forms collection.
  void Unload() override;

  std::string Caption() const;
  void SetCaption(const std::string& caption);
  Colour BackColor() const { return backColour_; }
  void SetBackColor(Colour colour);

  // Outer geometry in twips.
  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void Move(int left, int top, int width, int height);
  void SetHeight(int twips);
  // Client area in twips.
  int ScaleWidth() const;
  int ScaleHeight() const;

  std::string Tag;

  // Controls, placed in twips on the client area (converted at the screen's
  // resolution, like the form). A hosted button's Click reaches OnCommand
  // as (id, BN_CLICKED, its window).
  HostedControl& AddZolButton(UINT id, const TwipRect& place, const std::string& caption);
  HostedControl& AddFlatButton(UINT id, const TwipRect& place, const std::string& caption);
  HWND AddChild(const char* className, const std::string& text, DWORD style, UINT id, const TwipRect& place,
                DWORD exStyle = 0);
  HostedControl* Control(UINT id);
  // An etched edge drawn inside the client area now and on every repaint.
  void SetEtchedEdge(bool on);
  void StartTimer(UINT id, UINT milliseconds);
  void StopTimer(UINT id);

 protected:
  // Window styles for CreateWindowEx; a small caption and system menu by default.
  virtual DWORD WindowStyle() const { return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN; }
  virtual DWORD WindowExStyle() const { return WS_EX_DLGMODALFRAME; }

  virtual void OnLoad() {}
  virtual void OnUnload() {}
  virtual void OnCommand(UINT /*id*/, UINT /*code*/, HWND /*control*/) {}
  virtual void OnTimer(UINT /*id*/) {}
  virtual void OnPaint(HDC /*dc*/) {}
  // The system menu's Close or Alt+F4; return false to keep the window.
  virtual bool OnClose() { return true; }
  // Any other message; return true when handled and set `result`.
  virtual bool OnMessage(UINT /*message*/, WPARAM /*wp*/, LPARAM /*lp*/, LRESULT& /*result*/) { return false; }

 private:
  friend class ControlSite;
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT message, WPARAM wp, LPARAM lp);
  HostedControl& AddHosted(const wchar_t* progId, UINT id, const TwipRect& place, const std::string& caption);
  // A hosted control's Click event: the form hears it as OnCommand(id, BN_CLICKED, control).
  void ControlClicked(UINT id, HWND control);
  void EnableOtherForms(bool enable);

  std::string name_;
  int clientWidthTwips_;
  int clientHeightTwips_;
  HWND window_ = nullptr;
  HBRUSH backBrush_ = nullptr;
  Colour backColour_ = static_cast<Colour>(0x8000000F);
  bool etchedEdge_ = false;
  HFONT font_ = nullptr;  // WM_SETFONT's font, not owned; the hosted controls' ambient font
  std::vector<std::unique_ptr<HostedControl>> controls_;
  std::vector<HWND> disabledForModal_;
};

}  // namespace glimra
