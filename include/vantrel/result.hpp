#pragma once
// What an operation of the library gives back: its value, or the error that stopped it.

#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

namespace vantrel {

// Why an operation failed. `line` and `column` (1-based) say where in a text, `row` (1-based)
// which row of a list (previous tests, seeds); 0 where they do not apply.
struct Error {
    enum class Kind {
        Model,       // a factor, level or Constraints row the model cannot have
        Rules,       // the rules text does not check
        Rows,        // a previous test or a seed row the model cannot take
        Infeasible,  // no test case can keep every constraint
        TooLarge,    // the design needs more than this computer can give
        Internal,    // an impossibility inside the library
        Io,          // a file that cannot be read or written
        Declined,    // the caller answered no, or cancelled: nothing was done
    };
    Kind kind = Kind::Model;
    std::string message;
    int line = 0;
    int column = 0;
    int row = 0;
    int helpTopic = 0;  // the desktop help's topic that explains it; 0 for none
};

// Taking the value of a failed result throws this, with the error's message.
class BadResultAccess : public std::logic_error {
public:
    explicit BadResultAccess(const Error& error) : std::logic_error(error.message) {}
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const&
    {
        Check();
        return std::get<0>(state_);
    }
    T& value() &
    {
        Check();
        return std::get<0>(state_);
    }
    T&& value() &&
    {
        Check();
        return std::get<0>(std::move(state_));
    }
    const T* operator->() const { return &value(); }
    const Error& error() const { return std::get<1>(state_); }

private:
    void Check() const
    {
        if (!ok())
            throw BadResultAccess(error());
    }
    std::variant<T, Error> state_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : error_(std::move(error)), ok_(false) {}

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const Error& error() const { return error_; }

private:
    Error error_;
    bool ok_ = true;
};

}  // namespace vantrel
