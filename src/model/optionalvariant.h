// Conversions between optional record fields and QVariant (absent <-> null).
#pragma once

#include <QVariant>
#include <optional>

template <typename T> QVariant optionalToVariant(const std::optional<T> &value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

/// A null or invalid QVariant is absent; anything else is converted to T when
/// it can be, and absent when it cannot.
template <typename T> std::optional<T> variantToOptional(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    if (!value.canConvert<T>())
        return std::nullopt;
    return value.value<T>();
}
