#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails, listing them, when project source files lack their licence line
# (SPDX-License-Identifier: GPL-3.0-or-later); scripts/add-spdx.sh adds it.
#   scripts/check-spdx.sh [ROOT]
exec "$(dirname "${BASH_SOURCE[0]}")/add-spdx.sh" --check "$@"
