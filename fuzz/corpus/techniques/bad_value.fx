technique t
pass
state CULLMODE SIDEWAYS
