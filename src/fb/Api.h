#pragma once
// Internal to the database wrapper: the client library's interfaces and their owners.
// Nothing outside src/fb includes this header.

#include "fb/Error.h"

#include <firebird/Interface.h>
#include <utility>

namespace fb::detail {

Firebird::IMaster* master();
Firebird::IUtil* util();
Firebird::IProvider* provider();

// A status object for one call sequence; errors throw Firebird::FbException, which
// `translate` turns into fb::Error at the wrapper's boundary.
class Status {
public:
    Status() : status_(master()->getStatus()), wrapper_(status_) {}
    ~Status() { status_->dispose(); }
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;

    Firebird::ThrowStatusWrapper* operator&() { return &wrapper_; }

private:
    Firebird::IStatus* status_;
    Firebird::ThrowStatusWrapper wrapper_;
};

// Formats a status vector the way the server's tools print it (lines separated by "\n").
Error errorFrom(Firebird::IStatus* status);

// Runs `f`, turning the client library's exception into fb::Error.
template <typename F> decltype(auto) call(F&& f) {
    try {
        return std::forward<F>(f)();
    } catch (const Firebird::FbException& e) {
        throw errorFrom(e.getStatus());
    }
}

// Owner of a reference-counted interface: releases it on destruction.
template <typename T> class Ref {
public:
    Ref() = default;
    explicit Ref(T* p) : p_(p) {}
    ~Ref() { reset(); }
    Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Ref& operator=(Ref&& o) noexcept {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T* release() { return std::exchange(p_, nullptr); }
    void reset(T* p = nullptr) {
        if (p_)
            p_->release();
        p_ = p;
    }

private:
    T* p_ = nullptr;
};

// Owner of a disposable object (parameter-block builders).
template <typename T> class Disposable {
public:
    explicit Disposable(T* p) : p_(p) {}
    ~Disposable() {
        if (p_)
            p_->dispose();
    }
    Disposable(const Disposable&) = delete;
    Disposable& operator=(const Disposable&) = delete;
    T* operator->() const { return p_; }
    T* get() const { return p_; }

private:
    T* p_;
};

using XpbBuilder = Disposable<Firebird::IXpbBuilder>;

// A new, empty parameter block of the given kind (IXpbBuilder::DPB, SPB_ATTACH, SPB_START).
Firebird::IXpbBuilder* newXpb(unsigned kind);
} // namespace fb::detail

#include "fb/Database.h"
#include "fb/Transaction.h"

namespace fb {
struct Database::Impl {
    detail::Ref<Firebird::IAttachment> att;
};
struct Transaction::Impl {
    detail::Ref<Firebird::ITransaction> tra;
};
} // namespace fb
