#pragma once

#include "ComTypes.h"

#include <utility>

namespace zx::com {

// Owns one reference to an interface; releases it when it goes.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr& other) : m_p(other.m_p) {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~ComPtr() { reset(); }

    // Takes over a reference that the caller already owns (an out parameter).
    static ComPtr adopt(T* p) {
        ComPtr result;
        result.m_p = p;
        return result;
    }

    template <class U>
    ComPtr<U> query(const IID& iid) const {
        void* out = nullptr;
        if (!m_p || Failed(m_p->QueryInterface(iid, &out)))
            return {};
        return ComPtr<U>::adopt(static_cast<U*>(out));
    }

    void reset() {
        if (m_p)
            std::exchange(m_p, nullptr)->Release();
    }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    void** outParam() {
        reset();
        return reinterpret_cast<void**>(&m_p);
    }

private:
    T* m_p = nullptr;
};

}  // namespace zx::com
