// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <gtest/gtest.h>

// A window's part by its object name, which every widget and action has; a test that asks
// for one that is not there fails.
template <typename T> T* widget(const QObject& window, const char* name)
{
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no " << name;
    return found;
}
