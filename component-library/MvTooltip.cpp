#include "MvTooltip.h"
#include "MvTooltipParent.h"

MvTooltip::MvTooltip()
{
    setInterceptsMouseClicks (false, false);
    setAlpha (0.0f);
}

MvTooltip::~MvTooltip()
{
    stopTimer();
}

void MvTooltip::paint (juce::Graphics& g)
{
    drawBubble (g);
    drawText (g);
}

void MvTooltip::drawBubble (juce::Graphics& g)
{
    const float w = (float) getWidth(), h = (float) getHeight();

    if (cornerRadius <= 0.0f)
    {
        g.setColour (fillColour);
        g.fillAll();
        g.setColour (borderColour);
        g.drawRect (juce::Rectangle<float> (0.0f, 0.0f, w, h), 1.0f);
    }
    else
    {
        g.setColour (borderColour);
        g.fillRoundedRectangle (0.0f, 0.0f, w, h, borderWidth * 0.5f + cornerRadius);
        g.setColour (fillColour);
        g.fillRoundedRectangle (borderWidth, borderWidth,
                                juce::jmax (0.0f, w - 2.0f * borderWidth),
                                juce::jmax (0.0f, h - 2.0f * borderWidth),
                                cornerRadius);
    }
}

void MvTooltip::drawText (juce::Graphics& g)
{
    g.setColour (textColour);
    g.setFont (font);
    g.drawText (text, 0, 0, getWidth(), getHeight(), juce::Justification (justification), true);
}

juce::Component* MvTooltip::findHost (juce::Component* target, juce::Point<float>& pos)
{
    pos = {};

    if (target == nullptr)
        return nullptr;

    if (target->getParentComponent() == nullptr)
        return target;

    for (auto* current = target;;)
    {
        pos += current->getPosition().toFloat();
        auto* parent = current->getParentComponent();

        if (dynamic_cast<MvTooltipParent*> (parent) != nullptr || parent->getParentComponent() == nullptr)
            return parent;

        current = parent;
    }
}

void MvTooltip::showForComponent (juce::Component* target, int width, int height, int position,
                                  int newJustification, float gap, float offsetX, float offsetY)
{
    justification = newJustification;
    showing = true;
    text.clear();

    if (target != nullptr)
    {
        if (auto* oldParent = getParentComponent())
            oldParent->removeChildComponent (oldParent->getIndexOfChildComponent (this));

        juce::Point<float> s;
        auto* host = findHost (target, s);

        setVisible (true);
        host->addChildComponent (this, -1);

        const float hw = (float) target->getWidth() / 2.0f, hh = (float) target->getHeight() / 2.0f;
        const float W = (float) width, H = (float) height, g = gap;
        const float cx = s.x + hw + offsetX, cy = s.y + hh + offsetY;
        float x, y;

        switch (position)
        {
            case 0:  x = cx - W / 2.0f;     y = cy - hh - g - H;  break;
            case 1:  x = cx + hw + g;       y = cy - H / 2.0f;    break;
            case 2:  x = cx - W / 2.0f;     y = cy + hh + g;      break;
            case 3:  x = cx - hw - g - W;   y = cy - H / 2.0f;    break;
            case 4:  x = cx - hw - g - W;   y = cy - hh - g - H;  break;
            case 5:  x = cx + hw + g;       y = cy - hh - g - H;  break;
            case 6:  x = cx - hw - g - W;   y = cy + hh + g;      break;
            case 7:  x = cx + hw + g;       y = cy + hh + g;      break;
            default: x = cx - W / 2.0f;     y = cy - H / 2.0f;    break;
        }

        setBounds ((int) x, (int) y, width, height);
    }

    startTimer (16);
}

void MvTooltip::timerCallback()
{
    if (showing)
    {
        opacity = juce::jmin (opacity + fadeStep, 1.5f);
    }
    else
    {
        if (opacity == 0.0f)
        {
            // Already hidden (shown and hidden again before the first tick): nothing to fade.
            stopTimer();
            return;
        }

        opacity = juce::jmax (opacity - fadeStep, 0.0f);
    }

    setAlpha (juce::jmin (opacity, 1.0f));

    if (opacity == 0.0f)
        stopTimer();
}
