// comments // everywhere
Season//x
Races { A // a
 { x / y // }
 } }
SeasonRaces // {
{ B {{{}}} B { dup } b { case } }
F1_Circuit_Race_Times { // {
 B = 1	b = 2
 B =

 3}
}
Mystery { SeasonRaces { C { } } }
