#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SPDX-FileCopyrightText: 2026 The Tavlo developers
# The exit statuses of the project's scripts and test wrappers beyond 0 (done,
# nothing wrong) and 1 (a build, a test or a check failed), sourced by the
# scripts that give or read them. The numbers are kept clear of the shell's
# own (126, 127, 128 + a signal) and of CTest's.
#
# Wrong arguments: the usage is printed.
status_usage=2
# The package mirror cannot give the target's packages (not even bookworm and
# bookworm-updates can be read for it): CI reports the target as skipped.
status_mirror=75
# TAVLO_BOARD_CACHED_ONLY is set and the board's root file system is not
# made yet.
status_not_cached=76
# What a test needs is not installed here (CTest's SKIP_RETURN_CODE).
status_skip=77
