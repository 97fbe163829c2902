technique t
