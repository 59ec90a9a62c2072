#include "report/model/RepReportSite.h"

TRepReportSite *ReportSiteOf(const TRepControl *control)
{
    for (TRepControl *c = control ? control->ParentControl() : nullptr; c; c = c->ParentControl())
        if (auto *site = qobject_cast<TRepReportSite *>(c))
            return site;
    return nullptr;
}
