// What makes a ZolBtns button an ActiveX control any container can embed:
// the client site and in-place activation with a window of the control's
// own, drawing on request, persistence in streams and property bags,
// ambient properties, the type information behind IDispatch, and the
// connection points for the events and for property change notifications.
// A class derived from it adds its dual interface, its window and its looks.
//
// Containers differ: some give the size only through SetExtent, others only
// through the in-place rectangle (Wine's ATL host passes a wrong extent), so
// the window always follows the in-place rectangle. Loading may come before
// or after SetClientSite. A site without ambient properties leaves the
// control with a font of its own.
#pragma once

#include <optional>
#include <string>

#include "AutomationTypes.h"
#include "ConnectionPoints.h"
#include "Persistence.h"

namespace zolbtns {

// Counts of live objects and server locks, for DllCanUnloadNow.
void AddServerReference();
void ReleaseServerReference();
LONG ServerReferences();
HINSTANCE ModuleInstance();
// The library loaded into a process, and leaving it (DllMain).
void StartModule(HINSTANCE instance);
void EndModule();
// The library's file, in the ANSI code page; empty when unknown.
std::string ModulePath();
// The library's own type library, loaded from the module once (new reference);
// safe to ask from any thread.
ITypeLib* LibraryTypes();
void ReleaseLibraryTypes();

// What the controls report to containers about themselves.
constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;

// A newly placed button: 1215 x 375 twips, as HIMETRIC (2540 to the inch, twips 1440).
constexpr LONG TwipsToHimetric(LONG twips) { return (twips * 2540 + 720) / 1440; }
constexpr SIZEL kNewlyPlacedExtent{TwipsToHimetric(1215), TwipsToHimetric(375)};

class OleControl : public IOleObject,
                   public IOleInPlaceObject,
                   public IOleInPlaceActiveObject,
                   public IOleControl,
                   public IViewObject2,
                   public IPersistStreamInit,
                   public IPersistPropertyBag,
                   public IProvideClassInfo2,
                   public IConnectionPointContainer,
                   public IQuickActivate {
 public:
  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent,
                                   LPCRECT position) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
  HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* name) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advises) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }
  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
  // Keys reach the control's window procedure; nothing to translate here.
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  // IOleControl
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;
  // IViewObject2
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                                 BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override;
  // IPersist, IPersistStreamInit, IPersistPropertyBag
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;
  HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog*) override;
  HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
  // IProvideClassInfo2
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;
  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
  // IQuickActivate
  HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* control) override;
  HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL size) override;
  HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) override;

 protected:
  OleControl(const CLSID& clsid, const IID& dual, const IID& events);
  virtual ~OleControl();

  // The class's dual interface, and IDispatch served from its type information.
  virtual IDispatch* Dual() = 0;
  HRESULT TypeInfoCount(UINT* count);
  HRESULT TypeInfo(UINT index, ITypeInfo** info);
  HRESULT IdsOfNames(LPOLESTR* names, UINT count, DISPID* ids);
  // IDispatch::Invoke: members of the dual interface only, so `iid` must be IID_NULL.
  HRESULT InvokeMember(REFIID iid, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                       UINT* argError);

  // The control's window on `parent` at `place` (pixels in the parent); the
  // window holds a reference to the control until it is destroyed.
  virtual HWND CreateControlWindow(HWND parent, const RECT& place) = 0;
  virtual HWND ControlWindow() const = 0;
  // Paints the whole control into `dc` within `bounds`.
  virtual void DrawContent(HDC dc, const RECT& bounds) = 0;
  virtual void ResetToNewlyPlaced() = 0;
  virtual void ReadProperties(PropertyReader& reader) = 0;
  virtual void WriteProperties(PropertyWriter& writer) = 0;
  // The ambient font or another ambient property changed.
  virtual void AmbientChanged() = 0;
  // The caption's access letter ("&x"), which the container turns into Alt+x and x.
  virtual std::optional<char> AccessLetter() const { return std::nullopt; }
  // The member pressed the access letter.
  virtual void ClickFromMnemonic() {}

  // A property changed: the container hears of it and the control is dirty.
  HRESULT PropertyChanged(DISPID id);
  // The looks changed: a container drawing the control draws it again.
  void ViewChanged();
  void FireEvent(DISPID id);
  // The container's font, or nullptr when it offers none.
  IFont* AmbientFont() const { return ambientFont_; }
  // The control got the focus: tell the container it is the active one.
  void ActivateOnFocus();
  // The control lost the focus: the container hears of it.
  void FocusLeft();
  // The container's TabStop for the control, kept on its extended control;
  // nothing when the container keeps none.
  std::optional<bool> ContainerTabStop() const;

 private:
  HRESULT ActivateInPlace(bool uiActivate);
  HRESULT CreateWindowInPlace();
  void UIActivate();
  void TellControlSiteOfFocus(bool focused) const;
  void SetActiveObjects(IOleInPlaceActiveObject* active);
  void ReleaseWindowContext();
  void ClipWindow(const RECT& position, const RECT& clip);
  void DrawScaled(HDC dc, const RECT& bounds);
  SIZE ContentPixels() const;
  void NoteControlInfoChange();
  HACCEL BuildAccelerators(char letter);
  void ReadAmbientFont();
  void TakeAmbientFont(IUnknown* font);
  void ReleaseSite();

  LONG references_ = 1;
  CLSID clsid_;
  IID dualIid_;
  IID eventsIid_;
  ITypeInfo* interfaceInfo_ = nullptr;  // the vtable half of the dual interface
  ITypeInfo* dispatchInfo_ = nullptr;   // what IDispatch::GetTypeInfo hands out
  IOleClientSite* site_ = nullptr;
  IOleInPlaceSite* inPlaceSite_ = nullptr;
  IOleInPlaceFrame* frame_ = nullptr;        // from the in-place site, while in place
  IOleInPlaceUIWindow* document_ = nullptr;  // may stay null: the frame serves as document
  IOleAdviseHolder* adviseHolder_ = nullptr;
  IAdviseSink* viewSink_ = nullptr;
  DWORD viewAspects_ = 0;
  DWORD viewFlags_ = 0;
  IFont* ambientFont_ = nullptr;
  ConnectionPoint events_;
  ConnectionPoint propertyNotify_;
  SIZEL extent_ = kNewlyPlacedExtent;
  HACCEL accelerators_ = nullptr;       // what GetControlInfo last handed out; ours to destroy
  std::optional<char> reportedLetter_;  // the access letter the container last heard of
  bool inPlaceActive_ = false;
  bool uiActive_ = false;
  bool dirty_ = false;
  LONG frozen_ = 0;
};

}  // namespace zolbtns
