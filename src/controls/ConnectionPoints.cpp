#include "ConnectionPoints.h"

namespace zolbtns {
namespace {

// A snapshot enumerator over items that copy with `Copy` and free with `Free`.
template <class Interface, class Item, const IID* kIid, class Traits>
class Enumerator final : public Interface {
 public:
  explicit Enumerator(std::vector<Item> items) : items_(std::move(items)) {
    for (Item& item : items_) Traits::Hold(item);
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, *kIid)) return E_NOINTERFACE;
    *object = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG wanted, Item* out, ULONG* fetched) override {
    if (!out || (wanted > 1 && !fetched)) return E_POINTER;
    ULONG given = 0;
    for (; given < wanted && next_ < items_.size(); ++given, ++next_) {
      out[given] = items_[next_];
      Traits::Hold(out[given]);
    }
    if (fetched) *fetched = given;
    return given == wanted ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    const size_t left = items_.size() - next_;
    next_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    next_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(Interface** copy) override {
    if (!copy) return E_POINTER;
    auto* clone = new Enumerator(items_);
    clone->next_ = next_;
    *copy = clone;
    return S_OK;
  }

 private:
  ~Enumerator() {
    for (Item& item : items_) Traits::Free(item);
  }
  std::vector<Item> items_;
  size_t next_ = 0;
  LONG references_ = 1;
};

struct ConnectionTraits {
  static void Hold(CONNECTDATA& data) { data.pUnk->AddRef(); }
  static void Free(CONNECTDATA& data) { data.pUnk->Release(); }
};
struct PointTraits {
  static void Hold(IConnectionPoint* point) { point->AddRef(); }
  static void Free(IConnectionPoint* point) { point->Release(); }
};

using ConnectionEnumerator = Enumerator<IEnumConnections, CONNECTDATA, &IID_IEnumConnections, ConnectionTraits>;
using PointEnumerator = Enumerator<IEnumConnectionPoints, IConnectionPoint*, &IID_IEnumConnectionPoints, PointTraits>;

}  // namespace

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* owner, const IID& accepted, const IID* fallback)
    : owner_(owner), accepted_(accepted), fallback_(fallback) {}

ConnectionPoint::~ConnectionPoint() { UnadviseAll(); }

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IConnectionPoint)) return E_NOINTERFACE;
  *object = static_cast<IConnectionPoint*>(this);
  AddRef();
  return S_OK;
}

ULONG ConnectionPoint::AddRef() { return owner_->AddRef(); }
ULONG ConnectionPoint::Release() { return owner_->Release(); }

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = accepted_;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = owner_;
  owner_->AddRef();
  return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  *cookie = 0;
  IUnknown* held = nullptr;
  if (FAILED(sink->QueryInterface(accepted_, reinterpret_cast<void**>(&held))) &&
      (!fallback_ || FAILED(sink->QueryInterface(*fallback_, reinterpret_cast<void**>(&held)))))
    return CONNECT_E_CANNOTCONNECT;
  *cookie = nextCookie_++;
  sinks_.emplace_back(*cookie, held);
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  for (auto at = sinks_.begin(); at != sinks_.end(); ++at) {
    if (at->first != cookie) continue;
    IUnknown* sink = at->second;
    sinks_.erase(at);
    sink->Release();
    return S_OK;
  }
  return CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (!connections) return E_POINTER;
  std::vector<CONNECTDATA> items;
  for (const auto& [cookie, sink] : sinks_) items.push_back(CONNECTDATA{sink, cookie});
  *connections = new ConnectionEnumerator(std::move(items));
  return S_OK;
}

std::vector<IUnknown*> ConnectionPoint::Sinks() const {
  std::vector<IUnknown*> sinks;
  for (const auto& entry : sinks_) {
    entry.second->AddRef();
    sinks.push_back(entry.second);
  }
  return sinks;
}

void ConnectionPoint::UnadviseAll() {
  auto sinks = std::move(sinks_);
  sinks_.clear();
  for (auto& entry : sinks) entry.second->Release();
}

HRESULT MakeConnectionPointEnumerator(const std::vector<IConnectionPoint*>& points, IEnumConnectionPoints** result) {
  if (!result) return E_POINTER;
  *result = new PointEnumerator(points);
  return S_OK;
}

}  // namespace zolbtns
