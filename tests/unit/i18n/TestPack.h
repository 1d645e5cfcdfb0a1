#pragma once
// Helpers for the language tests: pack bytes made from readable UTF-8 text, and a private $TMPDIR
// for each test so nothing is written to the real temporary folder.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

// The stored form of a pack: UTF-16 LE with a byte-order mark, every "\n" of text written as CR LF.
std::string MakePack(std::string_view text);

// Points $TMPDIR at a fresh folder for the test and removes it (and restores $TMPDIR) afterwards.
class PrivateTmpdirTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The folder that $TMPDIR names during the test.
    std::string tmpdir;
    // Where the program's private folder goes: tmpdir + "/hxt-914q-<uid>".
    std::string privateFolder;

private:
    std::string savedTmpdir;
    bool hadTmpdir = false;
};
