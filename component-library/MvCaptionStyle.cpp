#include "MvCaptionStyle.h"

MvCaptionStyle::MvCaptionStyle()
{
    captionFont.setHeight (18.0f);
}
