// What the zolButton and the FlatButton share: the control's two windows
// (its surface and the face `lblButton`), caption and picture drawing, the
// shared properties, and the mouse and keyboard rules that turn input into
// presses and Clicks.
#pragma once

#include <optional>
#include <string>

#include "OleControl.h"
#include "ZolBtns.h"

namespace zolbtns {

// Twips and pixels convert at the screen's resolution, as containers place controls.
int PixelsX(LONG twips);
int PixelsY(LONG twips);
LONG TwipsX(int pixels);
LONG TwipsY(int pixels);

// An OLE_COLOR as a GDI colour; system colours are looked up now.
COLORREF ResolveColor(OLE_COLOR color);

void UnregisterWindowClasses();

// The access letter of a caption: the character after a lone "&" ("&&" shows one "&").
std::optional<char> AccessLetterOf(const std::string& caption);

// Tells its owner of every change to the font object it watches (the font's
// IPropertyNotifySink connection). It lives inside the control, which stops
// watching before it goes, so the font's reference does not keep it alive.
class FontWatch final : public IPropertyNotifySink {
 public:
  explicit FontWatch(class ButtonControl& owner) : owner_(owner) {}
  ~FontWatch() { Watch(nullptr); }
  FontWatch(const FontWatch&) = delete;
  FontWatch& operator=(const FontWatch&) = delete;
  void Watch(IFont* font);  // nullptr: watch nothing

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID) override;
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

 private:
  ButtonControl& owner_;
  IConnectionPoint* point_ = nullptr;
  DWORD cookie_ = 0;
};

class ButtonControl : public OleControl {
  friend class FontWatch;

 protected:
  // `fontId` is the class's DISPID of Font, for the changes made through the font object.
  ButtonControl(const CLSID& clsid, const IID& dual, const IID& events, DISPID fontId);
  ~ButtonControl() override;

  // OleControl
  HWND CreateControlWindow(HWND parent, const RECT& place) override;
  HWND ControlWindow() const override { return surface_; }
  void DrawContent(HDC dc, const RECT& bounds) override;
  void AmbientChanged() override;
  std::optional<char> AccessLetter() const override { return AccessLetterOf(captionText_); }
  void ClickFromMnemonic() override;

  // Where the face lies in a surface of `inner` pixels.
  virtual RECT FaceRect(SIZE inner) const = 0;
  virtual void PaintSurface(HDC dc, const RECT& client);
  // Draws the class's parts on the face after its background.
  virtual void PaintFaceParts(HDC dc, const RECT& face) = 0;
  // The press and release steps shared by mouse, keyboard and the BtnDown and BtnUp methods.
  virtual void ShowPressed() = 0;
  virtual void ShowReleased() = 0;
  virtual void GotFocus() = 0;
  virtual void LostFocus() = 0;

  // Shared properties, as the dual interfaces expose them.
  HRESULT GetColor(OLE_COLOR field, OLE_COLOR* value);
  HRESULT GetBoolean(bool field, VARIANT_BOOL* value);
  HRESULT GetWindowHandle(LONG* value);
  HRESULT PutBackColor(DISPID id, OLE_COLOR color);
  HRESULT PutForeColor(DISPID id, OLE_COLOR color);
  HRESULT PutEnabled(DISPID id, VARIANT_BOOL enabled);
  HRESULT GetFont(IFontDisp** font);
  HRESULT PutFont(DISPID id, IFontDisp* font);
  HRESULT GetCaption(BSTR* caption);
  HRESULT PutCaption(DISPID id, BSTR caption);
  HRESULT GetPicture(IPicture* picture, IPictureDisp** value);
  HRESULT PutPicture(DISPID id, IPictureDisp* value, IPicture** slot);
  HRESULT PutMousePointer(DISPID id, LONG pointer);

  void SetBackColor(OLE_COLOR color);  // a new face colour clears what was drawn on the face
  void SetEnabled(bool enabled);
  void SetCaption(const std::wstring& caption);
  void ReadCommonFont(PropertyReader& reader);
  void WriteCommonFont(PropertyWriter& writer);
  void ReleaseObjects();

  // Toggles the focus rectangle on the face (an inverting drawing) and repaints it.
  void InvertFocusRect();
  bool TabStop() const;
  void Layout();
  void RepaintFace();
  void RepaintSurface();
  void RefreshAll();
  SIZE InnerSize() const;  // pixels
  // Caption and picture, centred on the face with the class's offsets (twips).
  void DrawCaption(HDC dc, const RECT& face, LONG offsetLeft, LONG offsetTop);
  void DrawPicture(HDC dc, const RECT& face, LONG offsetTop);
  RECT PictureRect(const RECT& face, LONG offsetTop) const;  // pixels, face coordinates

  OLE_COLOR backColor_ = 0;
  OLE_COLOR foreColor_ = 0;
  OLE_COLOR focusColor_ = 0;
  std::wstring caption_;     // the property, as set
  std::string captionText_;  // what the window shows and draws, in the ANSI code page
  // The font object handed out or set; while not fontIsOwn_ it only mirrors
  // the container's ambient font, which the caption then follows.
  IFont* font_ = nullptr;
  bool fontIsOwn_ = false;
  IPicture* picture_ = nullptr;
  IPicture* mouseIcon_ = nullptr;
  LONG mousePointer_ = 0;
  bool enabled_ = true;
  bool pressed_ = false;
  bool cancelled_ = false;
  bool focusShown_ = false;
  bool faceInverted_ = false;  // what the focus-rectangle inversions on the face add up to
  LONG pictureOffsetTop_ = 0;  // for hit-testing presses on the picture

  HWND surface_ = nullptr;
  HWND face_ = nullptr;

 private:
  static LRESULT CALLBACK SurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK FaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static void RegisterClasses();
  LRESULT OnSurface(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnFace(UINT message, WPARAM wParam, LPARAM lParam);
  void PaintFace(HDC dc, const RECT& face);
  void OnMouseDown(POINT point);
  void OnMouseMove(POINT point, WPARAM keys);
  void OnMouseUp();
  void OnKey(WPARAM key, bool down);
  bool OutsideFace(POINT point) const;
  bool SetPointer();
  HFONT CaptionFont() const;
  HFONT AmbientHFont() const;
  IFont* CreateAmbientLookalike() const;
  void TakeFont(IFont* font, bool own);  // takes over the reference
  void MirrorAmbientFont();
  void FontObjectChanged();
  bool EndsSpacePress() const;

  bool mouseHeld_ = false;
  bool spaceHeld_ = false;
  bool pressOnPicture_ = false;
  bool isDefault_ = false;  // the dialog's default button (BM_SETSTYLE)
  bool mirroringAmbient_ = false;
  DISPID fontId_;
  FontWatch fontWatch_{*this};
};

}  // namespace zolbtns
