#pragma once

#include <QObject>
#include <gtest/gtest.h>
#include <memory>

// The child of Window with the design name Name; the test fails when the
// design has none of that name and type.
template <class T> T *Child(const QObject *Window, const char *Name) {
    T *Found = Window->findChild<T *>(QLatin1StringView(Name));
    if (Found == nullptr)
        ADD_FAILURE() << "no " << Name << " in the window";
    return Found;
}

template <class T, class W> T *Child(const std::unique_ptr<W> &Window, const char *Name) {
    return Child<T>(Window.get(), Name);
}
