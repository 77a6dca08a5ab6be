// Handle to an object with an intrusive reference count (AddRef/Release);
// the object destroys itself when its last handle lets go.
#pragma once

#include <utility>

namespace xls {

template <typename T>
class RefPtr {
public:
    RefPtr() = default;
    explicit RefPtr(T* object) : object_(object) { Acquire(); }
    RefPtr(const RefPtr& other) : object_(other.object_) { Acquire(); }
    RefPtr(RefPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ~RefPtr() { Drop(); }

    RefPtr& operator=(RefPtr other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    void Acquire() {
        if (object_) {
            object_->AddRef();
        }
    }
    void Drop() {
        if (object_) {
            object_->Release();
        }
    }

    T* object_ = nullptr;
};

template <typename T, typename... Args>
RefPtr<T> MakeRef(Args&&... args) {
    return RefPtr<T>(new T(std::forward<Args>(args)...));
}

}  // namespace xls
