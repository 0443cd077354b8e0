// Outgoing interfaces of a control: one connection point per interface,
// embedded in the control (it shares the control's reference count), and the
// enumerators a container may ask for.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "AutomationTypes.h"

namespace zolbtns {

class ConnectionPoint final : public IConnectionPoint {
 public:
  // `owner` is the control; `accepted` is asked first when a sink is advised,
  // `fallback` (may be null) when the sink does not answer it.
  ConnectionPoint(IConnectionPointContainer* owner, const IID& accepted, const IID* fallback);
  ~ConnectionPoint();
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

  const IID& Interface() const { return accepted_; }
  // The advised sinks as the interface they were advised for, each with a
  // reference of its own, so that a sink may unadvise while it is called.
  std::vector<IUnknown*> Sinks() const;
  void UnadviseAll();

 private:
  IConnectionPointContainer* owner_;
  IID accepted_;
  const IID* fallback_;
  std::vector<std::pair<DWORD, IUnknown*>> sinks_;
  DWORD nextCookie_ = 1;
};

// Calls `call` on every sink of `point`, as interface T.
template <class T>
void ForEachSink(const ConnectionPoint& point, const std::function<void(T*)>& call) {
  for (IUnknown* sink : point.Sinks()) {
    call(static_cast<T*>(sink));
    sink->Release();
  }
}

HRESULT MakeConnectionPointEnumerator(const std::vector<IConnectionPoint*>& points, IEnumConnectionPoints** result);

}  // namespace zolbtns
