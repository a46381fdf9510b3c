#pragma once

// While alive, file permissions bind this process even when it runs as root:
// the capabilities that override them are dropped from the effective set
// and raised again at the end. Without root nothing changes. Tests of
// read-only folders use it, so they also run where CI runs them as root.
class PermissionsBind {
public:
    PermissionsBind();
    ~PermissionsBind();
    PermissionsBind(const PermissionsBind &) = delete;
    PermissionsBind &operator=(const PermissionsBind &) = delete;

private:
    bool FDropped = false;
};
