#include "app/ColorScheme.h"

SchemeColors ColorsOfScheme(int s)
{
    if (s < 1 || s > SchemeCount)
        s = 1;
    using namespace Scheme;
    return {CoolBar[s],      JokeView[s],    TitleStrip[s],     HeadingText[s], HeadingStrip[s],
            BottomStrip[s], PanelBody[s],   TitleLabelText[s], BottomText[s]};
}

PanelLook PanelLookOfScheme(int s)
{
    const SchemeColors c = ColorsOfScheme(s);
    return {c.panelBody, c.headingStrip, c.bottomStrip, c.headingText, c.bottomText};
}
