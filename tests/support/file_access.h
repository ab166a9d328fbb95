#pragma once

/// Tests run as root in CI, and root writes into read-only directories. Dropping the capabilities that
/// override file permissions (before any thread starts, so every thread and every program started by a test
/// inherits it) makes the read-only cases behave as they would for a shop operator's own account.
void dropFileAccessOverride();
