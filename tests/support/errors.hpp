// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

// The library throws pointers to new exception objects; these helpers catch one,
// delete it and compare its message.

#include <memory>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

// Runs `body` and returns the message of the `Exception*` it throws, or a note
// that it threw nothing (or something else).
template <class Exception, class Body>
std::string thrownMessage(Body&& body) {
    try {
        body();
    } catch (Exception* e) {
        std::unique_ptr<Exception> owned(e);
        return owned->what();
    } catch (std::exception* e) {
        std::unique_ptr<std::exception> owned(e);
        return std::string("<other exception type> ") + owned->what();
    }
    return "<nothing thrown>";
}

#define EXPECT_THROWS_PTR(Exception, statement, message) \
    EXPECT_EQ(thrownMessage<Exception>([&] { statement; }), std::string(message))
