#include "model/MonthlyPrediction.h"

void CMonthlyPrediction::SetPort(const CPortData& port)
{
    for (CPrediction& day : m_days)
        day.SetPort(port);
}

void CMonthlyPrediction::SetAngleFactors(int day, const CAngleFactorData& today, const CAngleFactorData& nextDay)
{
    if (CPrediction* p = GetDay(day))
        p->SetAngleFactors(today, nextDay);
}

CPrediction* CMonthlyPrediction::GetDay(int day)
{
    if (day < 1 || day > kDays)
        return nullptr;
    return &m_days[day - 1];
}

const CPrediction* CMonthlyPrediction::GetDay(int day) const
{
    if (day < 1 || day > kDays)
        return nullptr;
    return &m_days[day - 1];
}

void CMonthlyPrediction::ClearAll()
{
    for (CPrediction& day : m_days)
        day.ClearCache();
}
