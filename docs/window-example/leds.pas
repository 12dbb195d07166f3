{ LEDS: LED ‚Ì’è‹` }

