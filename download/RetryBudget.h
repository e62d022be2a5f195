#pragma once

// How often a failed transfer is repeated within one run: 12 points, a partial file (code 18)
// costs 1, any other failure 2.
class RetryBudget {
public:
    void Charge(int failureCode) { m_Points -= failureCode == kPartialFile ? 1 : 2; }
    bool Available() const { return m_Points > 0; }

private:
    static constexpr int kPartialFile = 18;
    int m_Points{12};
};
