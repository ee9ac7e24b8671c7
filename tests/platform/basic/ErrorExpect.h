#pragma once
// Asserts that a statement raises the language's run-time error `number`.

#include <gtest/gtest.h>

#include "platform/basic/RuntimeError.h"

#define EXPECT_RUNTIME_ERROR(statement, expectedNumber)                                   \
    do {                                                                                  \
        int raised_ = 0;                                                                  \
        try {                                                                             \
            (void)(statement);                                                            \
        } catch (const qv::basic::RuntimeError& e) {                                      \
            raised_ = e.number();                                                         \
        }                                                                                 \
        EXPECT_EQ(raised_, (expectedNumber)) << "statement: " #statement;                 \
    } while (0)
