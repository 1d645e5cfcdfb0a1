#pragma once
// One recorder a plan sets up: its plan table, its search answer, what was found on it before anything was sent,
// and the steps done on it (or, on a dry run, those that would be).

#include "setup/plan/SetupPlan.h"
#include "setup/report/SetupReport.h"
#include "setup/steps/AdminPasswordStep.h"
#include "setup/steps/CameraStep.h"
#include "setup/steps/CloudStep.h"
#include "setup/steps/DiskStep.h"
#include "setup/steps/TimeZoneStep.h"

#include <array>
#include <string>
#include <vector>

// The steps' names, in the order they run; the table and the report use them.
namespace PlanStep {
constexpr const char* kPassword = "password";
constexpr const char* kZone = "zone";
constexpr const char* kDisks = "disks";
constexpr const char* kCameras = "cameras";
constexpr const char* kCloud = "cloud";
}

// The one model a plan sets up; other recorders that answer the search are left alone.
constexpr const char* kPlanRecorderModel = "HXT-914Q";

struct PlanTarget
{
    const PlanRecorder* plan = nullptr;
    std::string mac; // upper case, as the plan writes it
    std::string macText; // as the search answer gives it
    std::string ip;
    std::string model;
    int webPort = 0;

    // Found before anything is sent.
    AdminPasswordResult password;
    bool readable = false; // it could be read: it has no password yet, or the plan's
    TimeZoneResult zones;
    int zoneNumber = 0;
    DiskResult disks;
    std::array<bool, 2> wantedDisks { false, false };
    CameraResult cameras;
    CloudResult cloud;

    // What was done (or, on a dry run, would be).
    std::vector<ReportStep> steps;
    ReportRecorder report;

    // Whether the plan asks this step of the recorder (the password step always).
    bool Asks(const char* step) const;
    // The recorder as the steps reach it, with this administrator password.
    RecorderAccess Access(const std::string& adminPassword) const;
    // The password that reads the recorder before it is set up: none on a new recorder, the plan's otherwise.
    std::string ReadPassword() const;
    // Every step after the failed one that the plan asks, as skipped.
    void SkipRest(const char* failedStep);
    bool EveryStepDone() const;
};

// "ABC" from "abc": MAC texts are compared in the plan's case.
std::string UpperCase(std::string text);
