{ BLINK: LED ‚ð“_–Å‚³‚¹‚é }
{$M $8000,$FF00,$100}
PROGRAM BLINK;
{$I LEDS}
BEGIN
  ;
END. { ‚¨‚í‚è }
