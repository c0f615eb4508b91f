#pragma once
// Where a long load of the Test Cases sheet reports its progress. The progress window
// implements it; by default nothing is shown.

class SheetLoadProgress {
public:
    virtual ~SheetLoadProgress() = default;
    virtual void Show() {}
    // bar: which of the window's bars; fraction: 0..1. True once the user asked to cancel
    // (and from then on).
    virtual bool UpdateProgress(int /*bar*/, double /*fraction*/) { return false; }
    virtual void Close() {}
};
