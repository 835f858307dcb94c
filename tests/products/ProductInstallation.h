#pragma once

// A fresh installation driven through vandorix-replay, with the paths of its product files.
#include "support/ProductFiles.h"
#include "support/SheetExpect.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vandorix::testing {

struct ProductInstallation {
    TestInstallation inst;

    std::filesystem::path root() const { return inst.root(); }
    std::filesystem::path list() const { return root() / "Seged" / "ISIN01.xls"; }
    std::filesystem::path product(const std::string &name = "Alfa") const {
        return root() / "Termekek" / (name + ".xls");
    }
    std::filesystem::path archive(const std::string &file) const { return root() / "Arhiv" / file; }

    // Runs a script that must end normally; returns the messages it showed.
    std::string run(const std::string &script, const std::string &today = "2026-12-06") const {
        ReplayRun r = inst.replay(script, today);
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return r.output;
    }
};

} // namespace vandorix::testing
