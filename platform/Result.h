#pragma once
// The outcome of an operation that can fail: its value, or why it failed. The reason is a
// sentence for the user (QString) unless the operation names a richer error type; an
// operation that only succeeds or fails returns Result<void>.
//
//     Result<QByteArray> Bytes(...)
//     {
//         if (...)
//             return Failure{QStringLiteral("The file is empty.")};
//         return bytes;
//     }
//
//     const Result<QByteArray> bytes = Bytes(...);
//     if (!bytes)
//         ShowMessage(bytes.error());
//     ... bytes.value() ...
//
// value() of a failure and error() of a success are mistakes of the caller; they throw
// std::bad_variant_access and std::bad_optional_access, which the error trap reports.

#include <QString>

#include <concepts>
#include <optional>
#include <utility>
#include <variant>

// Why an operation failed, on its way into a Result.
template <typename E>
struct Failure {
    E error;
};
template <typename E>
Failure(E) -> Failure<E>;

template <typename T, typename E = QString>
class [[nodiscard]] Result {
public:
    Result(T value) : mState(std::in_place_index<0>, std::move(value)) {}
    template <typename F>
        requires std::constructible_from<E, F&&>
    Result(Failure<F> failure) : mState(std::in_place_index<1>, E(std::move(failure.error)))
    {
    }

    bool ok() const { return mState.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<0>(mState); }
    T& value() & { return std::get<0>(mState); }
    T&& value() && { return std::get<0>(std::move(mState)); }
    const E& error() const { return std::get<1>(mState); }

private:
    std::variant<T, E> mState;  // by index: T and E may be one type
};

template <typename E>
class [[nodiscard]] Result<void, E> {
public:
    Result() = default;
    template <typename F>
        requires std::constructible_from<E, F&&>
    Result(Failure<F> failure) : mError(E(std::move(failure.error)))
    {
    }

    bool ok() const { return !mError; }
    explicit operator bool() const { return ok(); }

    const E& error() const { return mError.value(); }

private:
    std::optional<E> mError;
};
