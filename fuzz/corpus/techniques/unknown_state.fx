technique t
pass
state NOSUCH 1
