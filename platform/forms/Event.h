#pragma once
// Events with any number of listeners. A window wires its handlers once; layout helpers
// and other listeners subscribe and unsubscribe at run time. Raising goes through the
// dispatch boundary, where an error that escapes a handler is reported and swallowed,
// so one failing handler never stops the program or the other listeners.

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace qv::forms {

namespace detail {
// Runs one handler call inside the dispatch boundary (defined with the event loop).
void dispatchHandler(void (*call)(void*), void* ctx);

struct SlotBase {
    bool alive = true;
};
struct SlotListBase {
    std::vector<std::shared_ptr<SlotBase>> slots;
    void remove(const SlotBase* s) {
        for (auto it = slots.begin(); it != slots.end(); ++it)
            if (it->get() == s) {
                (*it)->alive = false;
                slots.erase(it);
                return;
            }
    }
};
}  // namespace detail

// A handle that can cut one subscription; harmless when the event is gone already.
class Connection {
public:
    Connection() = default;
    Connection(std::weak_ptr<detail::SlotListBase> list, std::weak_ptr<detail::SlotBase> slot)
        : list_(std::move(list)), slot_(std::move(slot)) {}
    void disconnect() {
        auto l = list_.lock();
        auto s = slot_.lock();
        if (l && s) l->remove(s.get());
        list_.reset();
        slot_.reset();
    }
    bool connected() const {
        auto s = slot_.lock();
        return s && s->alive && !list_.expired();
    }

private:
    std::weak_ptr<detail::SlotListBase> list_;
    std::weak_ptr<detail::SlotBase> slot_;
};

// Disconnects when it goes out of scope (a listener object that is released stops listening).
class ScopedConnection {
public:
    ScopedConnection() = default;
    ScopedConnection(Connection c) : c_(std::move(c)) {}
    ScopedConnection(ScopedConnection&& o) noexcept : c_(std::exchange(o.c_, Connection{})) {}
    ScopedConnection& operator=(ScopedConnection&& o) noexcept {
        if (this != &o) {
            c_.disconnect();
            c_ = std::exchange(o.c_, Connection{});
        }
        return *this;
    }
    ScopedConnection(const ScopedConnection&) = delete;
    ScopedConnection& operator=(const ScopedConnection&) = delete;
    ~ScopedConnection() { c_.disconnect(); }
    void disconnect() { c_.disconnect(); }
    bool connected() const { return c_.connected(); }

private:
    Connection c_;
};

template <class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    Event() : list_(std::make_shared<detail::SlotListBase>()) {}
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    Connection connect(Handler h) {
        auto s = std::make_shared<Slot>();
        s->fn = std::move(h);
        list_->slots.push_back(s);
        return Connection(list_, s);
    }
    bool hasHandlers() const { return !list_->slots.empty(); }
    void disconnectAll() {
        for (auto& s : list_->slots) s->alive = false;
        list_->slots.clear();
    }

    // Calls every listener in subscription order, each inside the dispatch boundary.
    // Listeners added while raising are not called this time; removed ones are skipped.
    void raise(Args... args) {
        if (list_->slots.empty()) return;
        auto snapshot = list_->slots;  // keeps slots alive even if the event owner dies
        for (auto& base : snapshot) {
            if (!base->alive) continue;
            auto* slot = static_cast<Slot*>(base.get());
            struct Ctx {
                Slot* slot;
                std::tuple<Args&...> args;
            } ctx{slot, std::tuple<Args&...>(args...)};
            detail::dispatchHandler(
                [](void* p) {
                    auto* c = static_cast<Ctx*>(p);
                    std::apply([&](Args&... a) { c->slot->fn(std::forward<Args&>(a)...); }, c->args);
                },
                &ctx);
        }
    }

private:
    struct Slot : detail::SlotBase {
        Handler fn;
    };
    std::shared_ptr<detail::SlotListBase> list_;
};

}  // namespace qv::forms
